// How loadcell reads the bytes that come back: echoes, whole and broken frames, the
// judgement of a reading, the round schedule, the line parameter check, event lines.
#include "cell_frames.h"
#include "cell_session.h"
#include "formats.h"
#include "params_check.h"
#include "portsim/bench.h"
#include "schedule.h"

#include <gtest/gtest.h>

using namespace loadcell;

namespace {

std::string Text(const portsim::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

const std::string kAsk3 = RequestFrame(Request::Read, 3);
const std::string kReply3 = Text(portsim::ReadReply(3, 74565));
const std::string kReply4 = Text(portsim::ReadReply(4, 1000));

TEST(Frames, RequestsAreTheLibrarysFrames) {
    EXPECT_EQ(RequestFrame(Request::Read, 0), Text(portsim::ReadFrame(0)));
    EXPECT_EQ(RequestFrame(Request::Read, 191), Text(portsim::ReadFrame(191)));
    EXPECT_EQ(RequestFrame(Request::SetAddress, 5), "\x02SNM\x45\x33\x0D");
    // No zero byte for any address sent, so every request survives as a text.
    for (int a = 0; a <= 191; ++a) {
        EXPECT_EQ(RequestFrame(Request::Read, a).find('\0'), std::string::npos) << a;
        EXPECT_EQ(RequestFrame(Request::SetAddress, a).find('\0'), std::string::npos) << a;
    }
}

TEST(Frames, WhatIsHeardInTheBytes) {
    struct Case {
        const char* what;
        std::string bytes;
        bool echo;
        std::vector<int> addresses; // of the whole frames
        bool garbled;
    };
    std::string corrupt = kReply3;
    corrupt[5] = '7'; // a digit changed: the sum no longer fits
    std::string collided = kReply3;
    for (size_t i = 0; i < collided.size(); ++i)
        collided[i] = static_cast<char>(collided[i] | kReply4[i]);
    const std::vector<Case> cases = {
        {"nothing", "", false, {}, false},
        {"a reply", kReply3, false, {3}, false},
        {"the echo alone", kAsk3, true, {}, false},
        {"the echo, then the reply", kAsk3 + kReply3, true, {3}, false},
        {"two replies run together", kReply3 + kReply4, false, {3, 4}, false},
        {"a reply cut short", kReply3.substr(0, 6), false, {}, true},
        {"a wrong sum", corrupt, false, {}, true},
        {"two replies on top of each other", collided, false, {}, true},
        {"without its start byte", kReply3.substr(1), false, {}, true},
        {"the echo then garbage", kAsk3 + "\x7f\x13", true, {}, true},
        {"an accepted write", Text(portsim::AcceptReply()), false, {0}, false},
        {"the address form", Text(portsim::AddressFormReply(9)), false, {9}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Heard heard = Hear(kAsk3, c.bytes);
        EXPECT_EQ(heard.echo, c.echo);
        EXPECT_EQ(heard.Garbled(), c.garbled);
        std::vector<int> addresses;
        for (const ReplyFrame& frame : heard.frames)
            addresses.push_back(frame.address);
        EXPECT_EQ(addresses, c.addresses);
    }
    EXPECT_EQ(Hear(kAsk3, kReply3).frames[0].code, 74565);
}

TEST(Frames, AReplyWhoseSumIsZeroEndsWhereTheLibraryEndsTheText) {
    // 100 + 0x60 + the digits' sum 60 = 256: the sum byte is 00, and the text stops there.
    const uint32_t code = 0x0FFFF; // digits 15 15 15 15 0, least significant first
    const std::string whole = Text(portsim::ReadReply(100, code));
    ASSERT_EQ(whole[8], '\0');
    const Heard heard = Hear(kAsk3, whole.substr(0, 8));
    ASSERT_EQ(heard.frames.size(), 1u);
    EXPECT_FALSE(heard.Garbled());
    EXPECT_EQ(heard.frames[0].code, static_cast<int32_t>(code));
}

TEST(Frames, AReadingIsTakenOnlyFromAReplyNamingTheCellAsked) {
    struct Case {
        std::string bytes;
        int asked, before;
        Reading reading;
    };
    const std::vector<Case> cases = {
        {kReply3, 3, -1, Reading::Good},
        {kAsk3 + kReply3, 3, -1, Reading::Good},
        {kReply3, 0, -1, Reading::Good}, // address 0 takes whichever cell
        {kReply4 + kReply3, 3, 4, Reading::Good},
        {kReply4, 3, 4, Reading::Late},
        {kReply4, 3, 9, Reading::WrongAddress},
        {Text(portsim::AcceptReply()), 3, 9, Reading::Late},
        {kAsk3, 3, -1, Reading::EchoOnly},
        {"", 3, -1, Reading::NoReply},
        {kReply3 + kReply3, 3, -1, Reading::Several},
        {kReply3 + kReply4, 0, -1, Reading::Several},
        {kReply3.substr(0, 7), 3, -1, Reading::Garbled},
        {kReply3 + "\x55", 3, -1, Reading::Garbled},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const CellReading r =
            JudgeHeard(Hear(kAsk3, cases[i].bytes), cases[i].asked, cases[i].before);
        EXPECT_EQ(r.reading, cases[i].reading);
    }
    const CellReading late = JudgeHeard(Hear(kAsk3, kReply4), 3, 4);
    EXPECT_EQ(late.named, 4);
}

TEST(Schedule, RoundsStartAtWholeIntervalsFromTheStart) {
    using namespace std::chrono;
    const RoundSchedule::Clock::time_point t0{};
    RoundSchedule schedule(t0, milliseconds(100));
    // A round's own length does not move the next one.
    EXPECT_EQ(schedule.Next(t0 + milliseconds(83)), t0 + milliseconds(100));
    EXPECT_EQ(schedule.Next(t0 + milliseconds(181)), t0 + milliseconds(200));
    // A round that overruns is followed at once by the slot it ran into...
    EXPECT_EQ(schedule.Next(t0 + milliseconds(350)), t0 + milliseconds(300));
    // ...and slots missed entirely are skipped, not made up in a burst.
    EXPECT_EQ(schedule.Next(t0 + milliseconds(1025)), t0 + milliseconds(1000));
    EXPECT_EQ(schedule.Next(t0 + milliseconds(1090)), t0 + milliseconds(1100));
    schedule.Restart(t0 + milliseconds(5003));
    EXPECT_EQ(schedule.Next(t0 + milliseconds(5050)), t0 + milliseconds(5103));
    RoundSchedule backToBack(t0, milliseconds(0));
    EXPECT_EQ(backToBack.Next(t0 + milliseconds(7)), t0 + milliseconds(7));
}

TEST(Params, GoodTextsPassAndABadOneNamesItsField) {
    std::string error;
    for (const char* good : {"9600,n,8,1", "19200,e,7,2", "COM3:9600,N,8,1", "96,n,8,1",
                             "baud=9600 parity=n data=8 stop=1", "9600,n,8,1,x"})
        EXPECT_TRUE(CheckParams(good, error)) << good << ": " << error;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"garbage", "field 1 (baud rate) 'garbage'"}, {"9600,n,8,3", "field 4 (stop bits) '3'"},
        {"9600,n,8,1,q", "field 5 (handshake) 'q'"},  {"baud=9600 stop=7", "field 2 'stop=7'"},
        {"9600,n,6,1.5", "cannot take together"},
    };
    for (const auto& [text, part] : bad) {
        EXPECT_FALSE(CheckParams(text, error)) << text;
        EXPECT_NE(error.find(part), std::string::npos) << error;
    }
}

TEST(Formats, EventsKeepTheColumnsOfTheReadings) {
    const std::string t = "2026-12-08T14:40:00.123+00:00";
    EXPECT_EQ(EventLine(Format::Text, t, "port back"), t + " port back");
    EXPECT_EQ(EventLine(Format::Csv, t, "port lost: a, b"), t + ",,,port lost: a; b");
    EXPECT_EQ(EventLine(Format::Jsonl, t, "port \"x\""),
              "{\"time\":\"" + t +
                  "\",\"address\":null,\"code\":null,\"status\":\"port \\\"x\\\"\"}");
}

} // namespace
