// The line parameter text, checked on the record directly: a pseudo-terminal cannot show
// data bits or parity enabling.
#include "line_params.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using portline::DtrControl;
using portline::IsApplicable;
using portline::LineSettings;
using portline::Parity;
using portline::ParseLineParams;
using portline::RtsControl;
using portline::StopBits;

namespace {

LineSettings Start() {
    LineSettings s;
    s.baud = 1200;
    s.parity = Parity::Even;
    s.dataBits = 7;
    s.stopBits = StopBits::Two;
    s.xonXoff = true;
    s.ctsOutFlow = true;
    s.dsrOutFlow = true;
    s.dsrSensitive = true;
    s.dtr = DtrControl::Handshake;
    s.rts = RtsControl::Handshake;
    return s;
}

// Every handshake off, as a text that names none leaves the record.
void ExpectNoHandshake(const LineSettings& s) {
    EXPECT_FALSE(s.xonXoff);
    EXPECT_FALSE(s.ctsOutFlow);
    EXPECT_FALSE(s.dsrOutFlow);
    EXPECT_FALSE(s.dsrSensitive);
    EXPECT_EQ(s.dtr, DtrControl::On) << "a handshake line turned off stays on";
    EXPECT_EQ(s.rts, RtsControl::On);
}

// The positional form, whole or in part: each row's texts are read in turn from Start(),
// and what no field names keeps its value.
TEST(LineParams, PositionalForms) {
    struct Row {
        std::vector<const char*> texts;
        uint32_t baud;
        Parity parity;
        int dataBits;
        StopBits stopBits;
    };
    const Row rows[] = {
        {{"9600,n,8,1"}, 9600, Parity::None, 8, StopBits::One},
        {{"9600,n,8,1", "115200,E,7,2"}, 115200, Parity::Even, 7, StopBits::Two},
        {{"9600,n,8,1", "115200,E,7,2", "300, o , 5 , 1.5"},
         300,
         Parity::Odd,
         5,
         StopBits::OnePointFive},
        {{"4800"}, 4800, Parity::Even, 7, StopBits::Two},
        {{"2400,,8,"}, 2400, Parity::Even, 8, StopBits::Two},
    };
    for (const Row& row : rows) {
        const std::string last = row.texts.back();
        SCOPED_TRACE(last);
        LineSettings s = Start();
        for (const char* text : row.texts)
            EXPECT_TRUE(ParseLineParams(text, s)) << text;
        EXPECT_EQ(s.baud, row.baud);
        EXPECT_EQ(s.parity, row.parity);
        EXPECT_EQ(s.dataBits, row.dataBits);
        EXPECT_EQ(s.stopBits, row.stopBits);
        ExpectNoHandshake(s);
    }
}

TEST(LineParams, EveryParityLetterInEitherCase) {
    const std::pair<const char*, Parity> cases[] = {
        {"n", Parity::None},  {"N", Parity::None},  {"e", Parity::Even}, {"E", Parity::Even},
        {"o", Parity::Odd},   {"O", Parity::Odd},   {"m", Parity::Mark}, {"M", Parity::Mark},
        {"s", Parity::Space}, {"S", Parity::Space},
    };
    for (auto [letter, parity] : cases) {
        LineSettings s = Start();
        EXPECT_TRUE(ParseLineParams(std::string("9600,") + letter + ",8,1", s)) << letter;
        EXPECT_EQ(s.parity, parity) << letter;
    }
}

TEST(LineParams, AnyBaudRateAndTheModeAbbreviations) {
    LineSettings s = Start();
    EXPECT_TRUE(ParseLineParams("250000,n,8,1", s));
    EXPECT_EQ(s.baud, 250000u);
    EXPECT_TRUE(ParseLineParams("96,n,8,1", s));
    EXPECT_EQ(s.baud, 9600u);
    EXPECT_TRUE(ParseLineParams("19,n,8,1", s));
    EXPECT_EQ(s.baud, 19200u);
    EXPECT_TRUE(ParseLineParams("110,n,8,2", s));
    EXPECT_EQ(s.baud, 110u);
}

// 110 baud also sets two stop bits; a stop-bit field or key after it has the last word.
TEST(LineParams, A110BaudRateAlsoSetsTwoStopBits) {
    const char* twoStopBits[] = {"110", "11,n,8", "110,e,7,", "baud=110", "stop=1 baud=110"};
    for (const char* text : twoStopBits) {
        LineSettings s;
        EXPECT_TRUE(ParseLineParams(text, s)) << text;
        EXPECT_EQ(s.baud, 110u) << text;
        EXPECT_EQ(s.stopBits, StopBits::Two) << text;
    }
    for (const char* text : {"110,n,8,1", "baud=110 stop=1"}) {
        LineSettings s;
        EXPECT_TRUE(ParseLineParams(text, s)) << text;
        EXPECT_EQ(s.stopBits, StopBits::One) << text;
    }
    LineSettings s = Start();
    EXPECT_TRUE(ParseLineParams("300", s));
    EXPECT_EQ(s.stopBits, StopBits::Two) << "another rate keeps the stop bits";
    s.stopBits = StopBits::One;
    EXPECT_TRUE(ParseLineParams("1100", s));
    EXPECT_EQ(s.stopBits, StopBits::One);
}

TEST(LineParams, HandshakeField) {
    LineSettings s = Start();
    EXPECT_TRUE(ParseLineParams("9600,n,8,1,x", s));
    EXPECT_TRUE(s.xonXoff);
    EXPECT_FALSE(s.ctsOutFlow);
    EXPECT_EQ(s.rts, RtsControl::On);

    EXPECT_TRUE(ParseLineParams("9600,n,8,1,P", s));
    EXPECT_FALSE(s.xonXoff);
    EXPECT_TRUE(s.ctsOutFlow);
    EXPECT_TRUE(s.dsrOutFlow);
    EXPECT_EQ(s.dtr, DtrControl::Handshake);
    EXPECT_EQ(s.rts, RtsControl::Handshake);

    EXPECT_TRUE(ParseLineParams("9600,n,8,1,", s));
    ExpectNoHandshake(s);

    s = Start();
    EXPECT_FALSE(ParseLineParams("9600,n,8,1,z", s));
    EXPECT_TRUE(s.xonXoff) << "a rejected text leaves the handshakes alone";
    EXPECT_EQ(s.rts, RtsControl::Handshake);
}

TEST(LineParams, KeywordForm) {
    LineSettings s = Start();
    EXPECT_TRUE(ParseLineParams("baud=9600 parity=N data=8 stop=1", s));
    EXPECT_EQ(s.baud, 9600u);
    EXPECT_EQ(s.parity, Parity::None);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, StopBits::One);

    EXPECT_TRUE(ParseLineParams("  BAUD=57600   Parity=m stop=1.5 data=5 xon=off octs=on  ", s));
    EXPECT_EQ(s.baud, 57600u);
    EXPECT_EQ(s.parity, Parity::Mark);
    EXPECT_EQ(s.dataBits, 5);
    EXPECT_EQ(s.stopBits, StopBits::OnePointFive);
    EXPECT_FALSE(s.xonXoff);
    EXPECT_TRUE(s.ctsOutFlow);

    EXPECT_TRUE(ParseLineParams("to=on", s));
    EXPECT_TRUE(ParseLineParams("baud=96", s));
    EXPECT_EQ(s.baud, 96u) << "abbreviations belong to the comma form";
}

// Only what a text names changes, except the handshakes: off unless the text turns one on.
TEST(LineParams, KeywordTextsTurnEveryHandshakeOffUnlessTheyNameIt) {
    LineSettings s = Start();
    EXPECT_TRUE(ParseLineParams("baud=4800", s));
    EXPECT_EQ(s.parity, Parity::Even);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, StopBits::Two);
    ExpectNoHandshake(s);

    const std::pair<const char*, bool LineSettings::*> flags[] = {
        {"xon=on", &LineSettings::xonXoff},
        {"octs=on", &LineSettings::ctsOutFlow},
        {"odsr=on", &LineSettings::dsrOutFlow},
        {"idsr=on", &LineSettings::dsrSensitive},
    };
    for (auto [text, flag] : flags) {
        LineSettings t = Start();
        EXPECT_TRUE(ParseLineParams(text, t)) << text;
        int on = t.xonXoff + t.ctsOutFlow + t.dsrOutFlow + t.dsrSensitive;
        EXPECT_TRUE(t.*flag) << text;
        EXPECT_EQ(on, 1) << text;
        EXPECT_EQ(t.rts, RtsControl::On) << text;
    }
    s = LineSettings{};
    EXPECT_TRUE(ParseLineParams("rts=hs", s));
    EXPECT_EQ(s.rts, RtsControl::Handshake);
    EXPECT_FALSE(s.ctsOutFlow) << "the RTS handshake is the input one only";
    EXPECT_TRUE(ParseLineParams("dtr=hs", s));
    EXPECT_EQ(s.dtr, DtrControl::Handshake);
    EXPECT_EQ(s.rts, RtsControl::On);
}

TEST(LineParams, KeywordTextsDriveTheModemLinesAndALaterKeyWins) {
    LineSettings s;
    EXPECT_TRUE(ParseLineParams("dtr=off rts=off", s));
    EXPECT_EQ(s.dtr, DtrControl::Off);
    EXPECT_EQ(s.rts, RtsControl::Off);
    EXPECT_TRUE(ParseLineParams("baud=9600", s));
    EXPECT_EQ(s.dtr, DtrControl::Off) << "a line held off is no handshake";
    EXPECT_EQ(s.rts, RtsControl::Off);
    EXPECT_TRUE(ParseLineParams("9600,n,8,1", s));
    EXPECT_EQ(s.rts, RtsControl::Off);
    EXPECT_TRUE(ParseLineParams("DTR=ON rts=TG", s));
    EXPECT_EQ(s.dtr, DtrControl::On);
    EXPECT_EQ(s.rts, RtsControl::Toggle);
    EXPECT_TRUE(ParseLineParams("9600,n,8,1", s));
    EXPECT_EQ(s.rts, RtsControl::Toggle) << "the RS-485 direction switch is no handshake";

    EXPECT_TRUE(ParseLineParams("rts=hs rts=on", s));
    EXPECT_EQ(s.rts, RtsControl::On);
    EXPECT_TRUE(ParseLineParams("octs=on octs=off xon=on xon=off dtr=hs dtr=off", s));
    EXPECT_FALSE(s.ctsOutFlow);
    EXPECT_FALSE(s.xonXoff);
    EXPECT_EQ(s.dtr, DtrControl::Off);
    EXPECT_TRUE(ParseLineParams("stop=2 stop=1 data=7 data=8", s));
    EXPECT_EQ(s.stopBits, StopBits::One);
    EXPECT_EQ(s.dataBits, 8);
}

TEST(LineParams, APortPrefixIsSkipped) {
    LineSettings s = Start();
    EXPECT_TRUE(ParseLineParams("COM1: baud=2400 parity=o", s));
    EXPECT_EQ(s.baud, 2400u);
    EXPECT_EQ(s.parity, Parity::Odd);
    EXPECT_TRUE(ParseLineParams("com12:19200,n,8,1", s));
    EXPECT_EQ(s.baud, 19200u);
}

TEST(LineParams, RejectedTextsKeepWhatWasSetBeforeTheFault) {
    LineSettings s = Start();
    EXPECT_FALSE(ParseLineParams("abc", s));
    EXPECT_EQ(s, Start());
    EXPECT_FALSE(ParseLineParams("", s));
    EXPECT_EQ(s, Start());

    EXPECT_FALSE(ParseLineParams("38400,q,8,1", s));
    EXPECT_EQ(s.baud, 38400u);
    EXPECT_EQ(s.parity, Parity::Even);

    s = Start();
    EXPECT_FALSE(ParseLineParams("9600,n,9,1", s));
    EXPECT_EQ(s.parity, Parity::None);
    EXPECT_EQ(s.dataBits, 7);

    s = Start();
    EXPECT_FALSE(ParseLineParams("9600,n,8,3", s));
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, StopBits::Two);

    s = Start();
    EXPECT_FALSE(ParseLineParams("baud=4800 parity=x data=8", s));
    EXPECT_EQ(s.baud, 4800u);
    EXPECT_EQ(s.dataBits, 7);

    s = Start();
    EXPECT_FALSE(ParseLineParams("baud=4800 dtr=off rts=tg speed=1", s));
    EXPECT_EQ(s.baud, 4800u);
    EXPECT_EQ(s.dtr, DtrControl::Handshake) << "line controls change only with an accepted text";
    EXPECT_EQ(s.rts, RtsControl::Handshake);
    EXPECT_TRUE(s.ctsOutFlow);

    for (const char* bad : {"0,n,8,1", "-9600,n,8,1", "9600x,n,8,1", "99999999999,n,8,1",
                            "9600,n,8,1,x,y", "9600,no,8,1", "9600,n,4,1", "baud=", "speed=9600",
                            "baud=9600 stop=1.0", "baud=9600 xon=yes", "rts=toggle", "dtr=tg",
                            "to=hs", "octs=hs", "9600,n,8,1,x,", "baud=9600,n"}) {
        LineSettings t = Start();
        EXPECT_FALSE(ParseLineParams(bad, t)) << bad;
    }
}

// What the apply step refuses leaves the port as it was, so the record is checked whole.
TEST(LineParams, TheApplyStepRefusesStopBitsTheCharacterSizeCannotHave) {
    LineSettings s;
    for (int data = 5; data <= 8; ++data) {
        s.dataBits = data;
        s.stopBits = StopBits::One;
        EXPECT_TRUE(IsApplicable(s)) << data;
        s.stopBits = StopBits::OnePointFive;
        EXPECT_EQ(IsApplicable(s), data == 5) << data;
        s.stopBits = StopBits::Two;
        EXPECT_EQ(IsApplicable(s), data != 5) << data;
    }
    s = LineSettings{};
    EXPECT_TRUE(ParseLineParams("9600,n,8,1.5", s)) << "the text itself is well formed";
    EXPECT_FALSE(IsApplicable(s));
}

} // namespace
