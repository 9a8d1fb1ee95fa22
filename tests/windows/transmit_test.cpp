// Sending with the immediate reply, and the modem-control lines, under Wine.
#include "device_agent.h"
#include "poll_helpers.h"
#include "portline.h"
#include "process_probe.h"

#include <gtest/gtest.h>

#include <string>

using namespace ptytest;
using namespace wintest;

namespace {

TEST(Transmit, AnEchoedSendComesBackAsTheReply) {
    BenchOnCom bench("--echo");
    ASSERT_TRUE(bench.opened);
    EXPECT_STREQ(WriteSendData("abc"), "abc");
    EXPECT_EQ(Order("received"), Hex("abc"));
}

TEST(Transmit, TwoSendsInARowEachReturnOnlyTheirOwnReply) {
    BenchOnCom bench("--echo");
    ASSERT_TRUE(bench.opened);
    EXPECT_STREQ(WriteSendData("ABCDEF"), "ABCDEF");
    EXPECT_STREQ(WriteSendData("XY"), "XY");
}

TEST(Transmit, ATextOfMoreThan255BytesIsCutThere) {
    BenchOnCom bench("--echo");
    ASSERT_TRUE(bench.opened);
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('A' + i % 26);
    EXPECT_EQ(std::string(WriteSendData(text.c_str())), text.substr(0, 255));
    SleepMs(200);
    EXPECT_EQ(Order("received"), Hex(text.substr(0, 255)));
}

TEST(Transmit, AnEmptySendWritesNothingAndEmptiesTheInputQueue) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    bench.Send("OLD");
    SleepMs(100);
    EXPECT_STREQ(WriteSendData(""), "");
    EXPECT_EQ(bench.WaitingAtPort(), 0);
    EXPECT_STREQ(WriteSendData(nullptr), "");
    SleepMs(100);
    EXPECT_EQ(Order("received"), "");
}

TEST(Transmit, BytesThatArrivedBeforeTheSendAreNotPartOfTheReply) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    bench.Send("STALE");
    SleepMs(100);
    bench.Reconfigure("--echo");
    EXPECT_STREQ(WriteSendData("abc"), "abc");
}

TEST(Transmit, TheReaderStaysIdleAfterASendUntilTheNextRequest) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    WriteSendData("x");
    bench.Send("LATE");
    SleepMs(600);
    EXPECT_EQ(bench.WaitingAtPort(), 4);
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(bench.PolledText("LATE"), "LATE");
}

TEST(Transmit, WithoutAPortTheReplyIsEmpty) {
    EXPECT_STREQ(WriteSendData("abc"), "");
    EXPECT_EQ(SetDTR(1), 1);
    EXPECT_EQ(SetRTS(1), 1);
}

// The line settings are read back from the held port: switching a modem line leaves
// them as they were.
TEST(ModemLines, DtrAndRtsLeaveTheLineSettingsAlone) {
    BenchOnCom bench("--echo");
    ASSERT_TRUE(bench.opened);
    ASSERT_EQ(SetupPort("19200,n,8,2"), 1);
    const DCB before = HeldPortState();
    for (int32_t flag : {1, 0, 256, 257}) {
        EXPECT_EQ(SetDTR(flag), 1);
        EXPECT_EQ(SetRTS(flag), 1);
        const DCB after = HeldPortState();
        EXPECT_EQ(after.BaudRate, before.BaudRate);
        EXPECT_EQ(after.StopBits, before.StopBits);
        EXPECT_EQ(after.ByteSize, before.ByteSize);
        EXPECT_EQ(after.Parity, before.Parity);
    }
    EXPECT_STREQ(WriteSendData("still"), "still");
}

} // namespace
