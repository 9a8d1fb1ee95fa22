// How a run ends when it does not complete: a stop signal (summary written, port
// restored, 128 + the signal), and output that cannot be written (reported, unless
// the reader only went away).
#include "program_run.h"

#include <regex>

#include <termios.h>

using namespace loadcelltest;

namespace {

class StopSignalTest : public BenchTest, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignalTest, EndsLikeCtrlCWithItsOwnStatus) {
    const int signal = GetParam();
    StartBench(Cells({3}));
    const termios before = PresetForeignSettings();

    // A run of 100 readings, stopped after a few: interrupted, not completed.
    Program run(On({"read", "3", "--count", "100", "--interval", "100"}));
    ASSERT_TRUE(run.WaitForLines(3));
    const auto sent = std::chrono::steady_clock::now();
    run.Signal(signal);
    Outcome o = run.Finish(30000);
    const auto took = std::chrono::steady_clock::now() - sent;
    EXPECT_EQ(o.status, 128 + signal) << o.err;
    EXPECT_TRUE(std::regex_match(o.err, std::regex("address 3: readings \\d+, failed \\d+, .*\n")))
        << o.err;
    EXPECT_LT(Lines(o.out).size(), 100u);
    // Well within a second on a quiet machine; bound generously for a loaded one.
    EXPECT_LT(took, std::chrono::seconds(5));

    const termios after = DeviceSettings();
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(::cfgetospeed(&after), B1200);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& test) { return std::string(sigabbrev_np(test.param)); });

using OutputTest = BenchTest;

TEST_F(OutputTest, AFullDiskIsReportedWithTheSummaryStillOnStandardError) {
    StartBench(Cells({3}));
    RunSettings full;
    full.stdoutPath = "/dev/full";
    const Outcome o =
        Program(On({"read", "3", "--follow", "--format", "csv", "--interval", "0"}), full)
            .Finish(30000);
    EXPECT_EQ(o.status, 73) << o.err;
    EXPECT_TRUE(Contains(o.err, "loadcell: read: cannot write the output: No space left on "
                                "device\n"))
        << o.err;
    EXPECT_TRUE(Contains(o.err, "address,readings,failed,min,max,mean,sd,drift\n3,")) << o.err;

    // Every command, not only read.
    const Outcome scan = Program(On({"scan", "--to", "3"}), full).Finish(30000);
    if (scan.status != 1) { // a loaded machine may miss the cell; then there is nothing to write
        EXPECT_EQ(scan.status, 73) << scan.err;
        EXPECT_TRUE(Contains(scan.err, "cannot write the output")) << scan.err;
    }
}

TEST_F(OutputTest, AClosedPipeEndsTheRunQuietly) {
    StartBench(Cells({3}));
    Program run(On({"read", "3", "--follow", "--interval", "0"}));
    ASSERT_TRUE(run.WaitForLines(2));
    run.CloseOutput();
    const Outcome o = run.Finish(30000);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_FALSE(Contains(o.err, "cannot write")) << o.err;
    EXPECT_TRUE(Contains(o.err, "address 3: readings ")) << o.err;
}

} // namespace
