// The receive path under Wine. On a pseudo-terminal, Wine ends an event wait that went
// pending after a few milliseconds with no event (it watches modem lines, which the
// pseudo-terminal lacks), while a wait started with bytes waiting ends at once with the
// receive event. So here the watcher counts at the pass after the bytes came; that a
// pending wait ends by an arrival cannot be seen under Wine and is tested on Linux only.
// The cases that are the same on both are in tests/shared/receive_cases.h.
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

} // namespace
