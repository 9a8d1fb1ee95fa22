// Sending with the immediate reply: the cases that are the same on Linux and Windows.
// A platform instantiates them with its line:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Transmit, TransmitCases, ptytest::PtyLine);
#ifndef PORTBENCH_TESTS_SHARED_TRANSMIT_CASES_H
#define PORTBENCH_TESTS_SHARED_TRANSMIT_CASES_H

#include "poll_helpers.h"
#include "portline.h"
#include "shared_line.h"

#include <gtest/gtest.h>

#include <string>

namespace cases {

template <typename Line> class TransmitCases : public ::testing::Test {};
TYPED_TEST_SUITE_P(TransmitCases);

TYPED_TEST_P(TransmitCases, AnEchoedSendComesBackAsTheReply) {
    TypeParam line("--echo");
    ASSERT_TRUE(line.opened);
    EXPECT_STREQ(WriteSendData("abc"), "abc");
    EXPECT_EQ(line.Received(), "abc");
}

TYPED_TEST_P(TransmitCases, TwoSendsInARowEachReturnOnlyTheirOwnReply) {
    TypeParam line("--echo");
    ASSERT_TRUE(line.opened);
    EXPECT_STREQ(WriteSendData("ABCDEF"), "ABCDEF");
    EXPECT_STREQ(WriteSendData("XY"), "XY");
}

TYPED_TEST_P(TransmitCases, ATextOfMoreThan255BytesIsCutThere) {
    TypeParam line("--echo");
    ASSERT_TRUE(line.opened);
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('A' + i % 26);
    EXPECT_EQ(std::string(WriteSendData(text.c_str())), text.substr(0, 255));
    ptytest::SleepMs(200);
    EXPECT_EQ(line.Received(), text.substr(0, 255));
}

TYPED_TEST_P(TransmitCases, AnEmptySendWritesNothingAndEmptiesTheInputQueue) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    line.Send("OLD");
    ptytest::SleepMs(100);
    EXPECT_STREQ(WriteSendData(""), "");
    EXPECT_EQ(line.WaitingAtPort(), 0);
    EXPECT_STREQ(WriteSendData(nullptr), "");
    EXPECT_FALSE(line.WaitReceived(1, 300));
    EXPECT_EQ(line.Received(), "");
}

TYPED_TEST_P(TransmitCases, BytesThatArrivedBeforeTheSendAreNotPartOfTheReply) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    line.Send("STALE");
    ptytest::SleepMs(100);
    line.Reconfigure("--echo");
    EXPECT_STREQ(WriteSendData("abc"), "abc");
}

TYPED_TEST_P(TransmitCases, TheReaderStaysIdleAfterASendUntilTheNextRequest) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    ReadAllPort();
    WriteSendData("x");
    line.Send("LATE");
    ptytest::SleepMs(600);
    EXPECT_EQ(line.WaitingAtPort(), 4);
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(line.PolledText("LATE"), "LATE");
}

TYPED_TEST_P(TransmitCases, WithoutAPortTheReplyIsEmpty) {
    EXPECT_STREQ(WriteSendData("abc"), "");
    EXPECT_EQ(SetDTR(1), 1);
    EXPECT_EQ(SetRTS(1), 1);
}

REGISTER_TYPED_TEST_SUITE_P(TransmitCases, AnEchoedSendComesBackAsTheReply,
                            TwoSendsInARowEachReturnOnlyTheirOwnReply,
                            ATextOfMoreThan255BytesIsCutThere,
                            AnEmptySendWritesNothingAndEmptiesTheInputQueue,
                            BytesThatArrivedBeforeTheSendAreNotPartOfTheReply,
                            TheReaderStaysIdleAfterASendUntilTheNextRequest,
                            WithoutAPortTheReplyIsEmpty);

} // namespace cases

#endif
