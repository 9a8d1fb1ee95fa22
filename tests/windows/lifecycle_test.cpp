// Opening, configuring and closing COM ports under Wine; the device side is the bench.
#include "device_agent.h"
#include "poll_helpers.h"
#include "portline.h"
#include "process_probe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace ptytest;
using namespace wintest;

namespace {

TEST(OpenPort, FailsOnAMissingPort) {
    EXPECT_EQ(OpenPort("COM97", "9600,n,8,1", 1), 0);
    EXPECT_EQ(OpenPort("", "9600,n,8,1", 1), 0);
    EXPECT_EQ(ClosePort(), 0);
}

// Wine does not enforce the exclusive share mode on devices (real Windows' serial driver
// does), so under Wine a port is busy only when Portline itself holds it.
TEST(OpenPort, FailsOnAPortItHoldsAndTheHeldPortKeepsWorking) {
    BenchOnCom bench("--echo");
    ASSERT_TRUE(bench.opened);
    EXPECT_EQ(OpenPort(kPort, "9600,n,8,1", 1), 0);
    EXPECT_STREQ(WriteSendData("held"), "held");
    ReadAllPort();
    bench.Reconfigure("--silent");
    bench.Send("STILL");
    EXPECT_EQ(bench.PolledText("STILL"), "STILL");
}

TEST(OpenPort, OpensClosesAndReopens) {
    BenchOnCom bench("--echo", kPort, 0);
    ASSERT_TRUE(bench.opened);
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(ClosePort(), 0);
    ASSERT_EQ(OpenPort(kPort, "9600,n,8,1", 1), 1);
    EXPECT_STREQ(WriteSendData("one"), "one");
    EXPECT_EQ(ClosePort(), 0);
    ASSERT_EQ(OpenPort(kPort, "9600,n,8,1", 1), 1);
    EXPECT_STREQ(WriteSendData("two"), "two");
}

TEST(OpenPort, ReachesAPortNumberedAboveNine) {
    BenchOnCom bench("--echo", "COM12");
    ASSERT_TRUE(bench.opened);
    EXPECT_STREQ(WriteSendData("12"), "12");
}

// A pseudo-terminal keeps the speed and the stop bits but not parity or data bits, which
// is what Wine reads back from it.
TEST(LineSettings, AreWhatGetCommStateReadsBack) {
    BenchOnCom bench("--silent", kPort, 0);
    ASSERT_TRUE(bench.opened);
    ASSERT_EQ(SetupPort("19200,o,8,2"), 1);
    DCB dcb = HeldPortState();
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);

    EXPECT_EQ(SetupPort("baud=4800 parity=E data=8 stop=1"), 1);
    dcb = HeldPortState();
    EXPECT_EQ(dcb.BaudRate, 4800u);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);

    // A text the builder rejects: the record as read is applied again.
    EXPECT_EQ(SetupPort("abc"), 1);
    EXPECT_EQ(HeldPortState().BaudRate, 4800u);

    COMMTIMEOUTS timeouts{};
    ASSERT_TRUE(GetCommTimeouts(HeldPort(), &timeouts));
    EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);
}

TEST(LineSettings, AnUnparsableTextStillOpensAndNoPortChangesNothing) {
    Order("start " + std::string(kPort) + " --silent");
    EXPECT_EQ(OpenPort(kPort, "abc", 1), 1);
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(SetupPort("9600,n,8,1"), 1);
    Order("stop");
}

TEST(Reader, TwoThreadsAtNormalPriorityInAHighPriorityProcessUntilClosePort) {
    // The caller runs at another priority: the readers' is the normal one, not the caller's.
    const HANDLE caller = GetCurrentThread();
    const int callerPriority = GetThreadPriority(caller);
    ASSERT_TRUE(SetThreadPriority(caller, THREAD_PRIORITY_BELOW_NORMAL));
    BenchOnCom bench("--silent");
    SetThreadPriority(caller, callerPriority);
    ASSERT_TRUE(bench.opened);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    // Wine runs each pending event wait on a thread of its own, so the reader's threads
    // are told by name.
    const std::multimap<std::string, int> threads = NamedThreadPriorities();
    ASSERT_EQ(threads.count("TFormThread"), 1u);
    ASSERT_EQ(threads.count("AXThread"), 1u);
    EXPECT_EQ(threads.find("TFormThread")->second, THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(threads.find("AXThread")->second, THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(ClosePort(), 0);
    const std::multimap<std::string, int> after = NamedThreadPriorities();
    EXPECT_EQ(after.count("TFormThread") + after.count("AXThread"), 0u);
}

TEST(ClosePort, EndsTheReaderPromptlyWhileNothingArrives) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    SleepMs(500);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ClosePort(), 0);
    // About one reader pass; the bound only catches a wait for a byte that never comes.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(Lifecycle, AHundredOpenCloseCyclesLeaveNoThreadOrHandleBehind) {
    Order("start " + std::string(kPort) + " --echo");
    // One cycle first: the system's own first-use allocations are not the library's.
    ASSERT_EQ(OpenPort(kPort, "9600,n,8,1", 1), 1);
    EXPECT_STREQ(WriteSendData("x"), "x");
    ClosePort();
    const std::set<DWORD> threads = ThreadIds();
    const DWORD handles = HandleCount();
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(OpenPort(kPort, "9600,n,8,1", 1), 1) << "cycle " << i;
        if (i % 10 == 0) {
            EXPECT_STREQ(WriteSendData("y"), "y");
        }
        ASSERT_EQ(ClosePort(), 0);
    }
    EXPECT_TRUE(SettlesBackTo(threads, handles))
        << ThreadIds().size() << " threads (" << threads.size() << " before), " << HandleCount()
        << " handles (" << handles << " before)";
    Order("stop");
}

} // namespace
