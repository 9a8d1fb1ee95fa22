// The receive path, polled as the host program does: the cases that are the same on Linux
// and Windows. A platform instantiates them with its line:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Receive, ReceiveCases, ptytest::PtyLine);
#ifndef PORTBENCH_TESTS_SHARED_RECEIVE_CASES_H
#define PORTBENCH_TESTS_SHARED_RECEIVE_CASES_H

#include "poll_helpers.h"
#include "portline.h"
#include "shared_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cases {

template <typename Line> class ReceiveCases : public ::testing::Test {};
TYPED_TEST_SUITE_P(ReceiveCases);

TYPED_TEST_P(ReceiveCases, NothingIsReadBeforeTheFirstCallWhichIsEmpty) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    line.Send("HELLO");
    ptytest::SleepMs(400);
    EXPECT_EQ(line.WaitingAtPort(), 5) << "the reader took bytes nobody asked for";
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(line.PolledText("HELLO"), "HELLO");
}

TYPED_TEST_P(ReceiveCases, BytesArrivingTogetherAreHandedOnWhole) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    ReadAllPort();
    line.Send("0123456789");
    auto texts = ptytest::PollTexts(10, 5000);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "0123456789");
}

TYPED_TEST_P(ReceiveCases, ALoneByteWaitsUntilMoreFollow) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    ReadAllPort();
    line.Send("A");
    EXPECT_TRUE(ptytest::PollTexts(1, 1500).empty());
    EXPECT_EQ(line.WaitingAtPort(), 1);
    line.Send("BC");
    auto texts = ptytest::PollTexts(3, 5000);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "ABC");
}

TYPED_TEST_P(ReceiveCases, AZeroByteEndsTheText) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    ReadAllPort();
    line.Send(std::string("A\0B", 3));
    EXPECT_EQ(ptytest::PollTexts(1, 5000), std::vector<std::string>{"A"});
    EXPECT_TRUE(ptytest::PollTexts(1, 800).empty()) << "the byte after the zero was handed on";
}

TYPED_TEST_P(ReceiveCases, MoreThanOneReadCarriesStaysQueuedForLaterRequests) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    std::string sent;
    for (int i = 0; i < 600; ++i)
        sent += static_cast<char>('a' + i % 26);
    ReadAllPort();
    line.Send(sent);
    auto texts = ptytest::PollTexts(sent.size(), 15000);
    EXPECT_EQ(ptytest::Joined(texts), sent);
    EXPECT_GE(texts.size(), 3u);
    for (const auto& t : texts)
        EXPECT_LE(t.size(), 255u);
}

// Any start flag but 1 opens the port without its reader.
TYPED_TEST_P(ReceiveCases, WithoutTheReaderNothingIsHandedOn) {
    for (int32_t flag : {0, 2, 256}) {
        SCOPED_TRACE(flag);
        TypeParam line("--silent", flag);
        ASSERT_TRUE(line.opened);
        line.Send("DATA");
        EXPECT_TRUE(ptytest::PollTexts(1, 700).empty());
        EXPECT_EQ(line.WaitingAtPort(), 4);
        EXPECT_EQ(ClosePort(), 0);
    }
}

TYPED_TEST_P(ReceiveCases, WithoutAPortCallsReturnEmptyAndClearPortFails) {
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(ClearPort(), 0);
}

REGISTER_TYPED_TEST_SUITE_P(ReceiveCases, NothingIsReadBeforeTheFirstCallWhichIsEmpty,
                            BytesArrivingTogetherAreHandedOnWhole, ALoneByteWaitsUntilMoreFollow,
                            AZeroByteEndsTheText, MoreThanOneReadCarriesStaysQueuedForLaterRequests,
                            WithoutTheReaderNothingIsHandedOn,
                            WithoutAPortCallsReturnEmptyAndClearPortFails);

} // namespace cases

#endif
