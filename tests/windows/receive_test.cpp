// The receive path under Wine. On a pseudo-terminal, Wine ends an event wait that went
// pending after a few milliseconds with no event (it watches modem lines, which the
// pseudo-terminal lacks), while a wait started with bytes waiting ends at once with the
// receive event. So here the watcher counts at the pass after the bytes came; that a
// pending wait ends by an arrival cannot be seen under Wine and is tested on Linux only.
#include "device_agent.h"
#include "poll_helpers.h"
#include "portline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace ptytest;
using namespace wintest;

namespace {

// Long enough for the watcher to count and the reader to take what arrived.
constexpr int kHandOverMs = 800;

TEST(Receive, NothingIsReadBeforeTheFirstCallWhichIsEmpty) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    bench.Send("HELLO");
    SleepMs(400);
    EXPECT_EQ(bench.WaitingAtPort(), 5) << "the reader took bytes nobody asked for";
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(bench.PolledText("HELLO"), "HELLO");
}

TEST(Receive, BytesArrivingTogetherAreHandedOnWhole) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    bench.Send("0123456789");
    auto texts = PollTexts(10, 5000);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "0123456789");
}

TEST(Receive, ALoneByteWaitsUntilMoreFollow) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    bench.Send("A");
    EXPECT_TRUE(PollTexts(1, 1500).empty());
    EXPECT_EQ(bench.WaitingAtPort(), 1);
    bench.Send("BC");
    auto texts = PollTexts(3, 5000);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "ABC");
}

TEST(Receive, AZeroByteEndsTheText) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    bench.Send(std::string("A\0B", 3));
    EXPECT_EQ(PollTexts(1, 5000), std::vector<std::string>{"A"});
    EXPECT_TRUE(PollTexts(1, 800).empty()) << "the byte after the zero was handed on";
}

TEST(Receive, MoreThanOneReadCarriesStaysQueuedForLaterRequests) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    std::string sent;
    for (int i = 0; i < 600; ++i)
        sent += static_cast<char>('a' + i % 26);
    ReadAllPort();
    bench.Send(sent);
    auto texts = PollTexts(sent.size(), 15000);
    EXPECT_EQ(Joined(texts), sent);
    EXPECT_GE(texts.size(), 3u);
    for (const auto& t : texts)
        EXPECT_LE(t.size(), 255u);
}

TEST(Receive, ClearPortKeepsAPublishedTextAndDiscardsWaitingInput) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    bench.Send("KEEP");
    SleepMs(kHandOverMs);
    bench.Send("DROP");
    SleepMs(200);
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(ClearPort(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(195));
    EXPECT_EQ(bench.WaitingAtPort(), 0);
    EXPECT_STREQ(ReadAllPort(), "KEEP");
    EXPECT_EQ(Joined(PollTexts(1, 1200)), "");
}

TEST(Receive, WithoutTheReaderNothingIsHandedOn) {
    for (int32_t flag : {0, 2, 256}) {
        SCOPED_TRACE(flag);
        BenchOnCom bench("--silent", kPort, flag);
        ASSERT_TRUE(bench.opened);
        bench.Send("DATA");
        EXPECT_TRUE(PollTexts(1, 700).empty());
        EXPECT_EQ(bench.WaitingAtPort(), 4);
    }
}

TEST(Receive, WithoutAPortCallsReturnEmptyAndClearPortFails) {
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(ClearPort(), 0);
}

} // namespace
