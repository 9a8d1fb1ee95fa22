// Callers that break the one-caller rule under Wine: eight threads mix every export, the
// close and the open included, against a bench that echoes and answers as a load cell.
// The bench's frames are the agent's, so any byte counts as one the device may send.
#include "device_agent.h"
#include "overlap_mix.h"
#include "portline.h"
#include "process_probe.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace wintest;

namespace {

TEST(OverlappingCallers, EightThreadsMixingEveryExportRunOneCallAtATime) {
    BenchOnCom bench("--echo --cell 3:74565");
    ASSERT_TRUE(bench.opened);

    overlap::Mix mix;
    mix.port = kPort;
    mix.deviceBytes.set();
    mix.readText = ReadAllPort();
    mix.reply = WriteSendData("a");
    ASSERT_STREQ(mix.reply, "a");

    mix.RunThreads(8, std::chrono::seconds(3), std::chrono::seconds(20));
    mix.readTexts = true;
    mix.RunThreads(8, std::chrono::seconds(3), std::chrono::seconds(10));
    for (const std::string& fault : mix.tally.faults)
        ADD_FAILURE() << fault;
    std::printf("%d calls, %d opens, %d of %d sends read echoed whole\n", mix.tally.calls.load(),
                mix.tally.opened.load(), mix.tally.echoed.load(), mix.tally.sends.load());
    EXPECT_GT(mix.tally.opened.load(), 0);
    EXPECT_GT(mix.tally.echoed.load(), 0) << "no send ever had the port to itself";

    // What is left works as for a single caller, and no reader thread was left behind.
    // Wine runs each pending event wait on a thread of its own: the readers go by name.
    EXPECT_EQ(ClosePort(), 0);
    auto threads = NamedThreadPriorities();
    EXPECT_EQ(threads.count("TFormThread") + threads.count("AXThread"), 0u);
    ASSERT_EQ(OpenPort(kPort, "9600,n,8,1", 1), 1);
    threads = NamedThreadPriorities();
    EXPECT_EQ(threads.count("TFormThread"), 1u);
    EXPECT_EQ(threads.count("AXThread"), 1u);
    Sleep(300);
    EXPECT_STREQ(WriteSendData("abc"), "abc");
}

} // namespace
