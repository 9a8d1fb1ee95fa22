// The line parameter text, checked on the record directly: a pseudo-terminal cannot show
// data bits or parity enabling.
#include "line_params.h"

#include <gtest/gtest.h>

using portline::ApplyLineParams;
using portline::LineSettings;
using portline::Parity;
using portline::StopBits;

namespace {

LineSettings Start() {
    LineSettings s;
    s.baud = 1200;
    s.parity = Parity::Even;
    s.dataBits = 7;
    s.stopBits = StopBits::Two;
    s.xonXoff = true;
    s.rtsCts = true;
    return s;
}

TEST(LineParams, FourFieldForm) {
    LineSettings s = Start();
    EXPECT_TRUE(ApplyLineParams("9600,n,8,1", s));
    EXPECT_EQ(s.baud, 9600u);
    EXPECT_EQ(s.parity, Parity::None);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, StopBits::One);
    EXPECT_FALSE(s.xonXoff);
    EXPECT_FALSE(s.rtsCts);

    EXPECT_TRUE(ApplyLineParams("115200,E,7,2", s));
    EXPECT_EQ(s.baud, 115200u);
    EXPECT_EQ(s.parity, Parity::Even);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, StopBits::Two);

    EXPECT_TRUE(ApplyLineParams("300, o , 5 , 1.5", s));
    EXPECT_EQ(s.parity, Parity::Odd);
    EXPECT_EQ(s.dataBits, 5);
    EXPECT_EQ(s.stopBits, StopBits::OnePointFive);
}

TEST(LineParams, EveryParityLetterInEitherCase) {
    const std::pair<const char*, Parity> cases[] = {
        {"n", Parity::None},  {"N", Parity::None},  {"e", Parity::Even}, {"E", Parity::Even},
        {"o", Parity::Odd},   {"O", Parity::Odd},   {"m", Parity::Mark}, {"M", Parity::Mark},
        {"s", Parity::Space}, {"S", Parity::Space},
    };
    for (auto [letter, parity] : cases) {
        LineSettings s = Start();
        EXPECT_TRUE(ApplyLineParams(std::string("9600,") + letter + ",8,1", s)) << letter;
        EXPECT_EQ(s.parity, parity) << letter;
    }
}

TEST(LineParams, AnyBaudRateAndTheModeAbbreviations) {
    LineSettings s = Start();
    EXPECT_TRUE(ApplyLineParams("250000,n,8,1", s));
    EXPECT_EQ(s.baud, 250000u);
    EXPECT_TRUE(ApplyLineParams("96,n,8,1", s));
    EXPECT_EQ(s.baud, 9600u);
    EXPECT_TRUE(ApplyLineParams("19,n,8,1", s));
    EXPECT_EQ(s.baud, 19200u);
    EXPECT_TRUE(ApplyLineParams("110,n,8,2", s));
    EXPECT_EQ(s.baud, 110u);
}

TEST(LineParams, ShortFormsAndEmptyFieldsKeepTheRest) {
    LineSettings s = Start();
    EXPECT_TRUE(ApplyLineParams("4800", s));
    EXPECT_EQ(s.baud, 4800u);
    EXPECT_EQ(s.parity, Parity::Even);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, StopBits::Two);

    s = Start();
    EXPECT_TRUE(ApplyLineParams("2400,,8,", s));
    EXPECT_EQ(s.baud, 2400u);
    EXPECT_EQ(s.parity, Parity::Even);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, StopBits::Two);
}

TEST(LineParams, HandshakeField) {
    LineSettings s = Start();
    EXPECT_TRUE(ApplyLineParams("9600,n,8,1,x", s));
    EXPECT_TRUE(s.xonXoff);
    EXPECT_FALSE(s.rtsCts);
    EXPECT_TRUE(ApplyLineParams("9600,n,8,1,P", s));
    EXPECT_FALSE(s.xonXoff);
    EXPECT_TRUE(s.rtsCts);
    EXPECT_FALSE(ApplyLineParams("9600,n,8,1,z", s));
}

TEST(LineParams, KeywordForm) {
    LineSettings s = Start();
    EXPECT_TRUE(ApplyLineParams("baud=9600 parity=N data=8 stop=1", s));
    EXPECT_EQ(s.baud, 9600u);
    EXPECT_EQ(s.parity, Parity::None);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, StopBits::One);
    EXPECT_TRUE(s.xonXoff) << "the keyword form touches only what it names";

    EXPECT_TRUE(ApplyLineParams("  BAUD=57600   Parity=m stop=1.5 data=5 xon=off octs=on  ", s));
    EXPECT_EQ(s.baud, 57600u);
    EXPECT_EQ(s.parity, Parity::Mark);
    EXPECT_EQ(s.dataBits, 5);
    EXPECT_EQ(s.stopBits, StopBits::OnePointFive);
    EXPECT_FALSE(s.xonXoff);
    EXPECT_TRUE(s.rtsCts);

    EXPECT_TRUE(ApplyLineParams("to=on dtr=hs rts=tg odsr=off idsr=on", s));
    EXPECT_TRUE(ApplyLineParams("baud=96", s));
    EXPECT_EQ(s.baud, 96u) << "abbreviations belong to the comma form";
}

TEST(LineParams, APortPrefixIsSkipped) {
    LineSettings s = Start();
    EXPECT_TRUE(ApplyLineParams("COM1: baud=2400 parity=o", s));
    EXPECT_EQ(s.baud, 2400u);
    EXPECT_EQ(s.parity, Parity::Odd);
    EXPECT_TRUE(ApplyLineParams("com12:19200,n,8,1", s));
    EXPECT_EQ(s.baud, 19200u);
}

TEST(LineParams, RejectedTextsKeepWhatWasSetBeforeTheFault) {
    LineSettings s = Start();
    EXPECT_FALSE(ApplyLineParams("abc", s));
    EXPECT_EQ(s, Start());
    EXPECT_FALSE(ApplyLineParams("", s));
    EXPECT_EQ(s, Start());

    EXPECT_FALSE(ApplyLineParams("38400,q,8,1", s));
    EXPECT_EQ(s.baud, 38400u);
    EXPECT_EQ(s.parity, Parity::Even);

    s = Start();
    EXPECT_FALSE(ApplyLineParams("9600,n,9,1", s));
    EXPECT_EQ(s.parity, Parity::None);
    EXPECT_EQ(s.dataBits, 7);

    s = Start();
    EXPECT_FALSE(ApplyLineParams("9600,n,8,3", s));
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, StopBits::Two);

    s = Start();
    EXPECT_FALSE(ApplyLineParams("baud=4800 parity=x data=8", s));
    EXPECT_EQ(s.baud, 4800u);
    EXPECT_EQ(s.dataBits, 7);

    for (const char* bad : {"0,n,8,1", "-9600,n,8,1", "9600x,n,8,1", "99999999999,n,8,1",
                            "9600,n,8,1,x,y", "9600,no,8,1", "9600,n,4,1", "baud=", "speed=9600",
                            "baud=9600 stop=1.0", "baud=9600 xon=yes"}) {
        LineSettings t = Start();
        EXPECT_FALSE(ApplyLineParams(bad, t)) << bad;
    }
}

} // namespace
