// Callers that break the one-caller rule under Wine: eight threads mix every export, the
// close and the open included, against a bench that echoes and answers as a load cell.
// The bench's frames are the agent's, so any byte counts as one the device may send.
#include "device_agent.h"
#include "overlap_cases.h"
#include "overlap_mix.h"
#include "portline.h"
#include "process_probe.h"

#include <gtest/gtest.h>

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

    cases::RunBothMixPhases(mix, 8, std::chrono::seconds(3));

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
