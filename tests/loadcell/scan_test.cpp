// scan and address against the virtual bench.
#include "program_run.h"

using namespace loadcelltest;

namespace {

using ScanTest = BenchTest;

TEST_F(ScanTest, ListsExactlyTheCellsPresent) {
    StartBench(Cells({3, 7, 12, 13})); // 13 lies outside the default range
    Outcome o = RunExpecting({"scan"}, [](const Outcome& run) { return run.out == "3\n7\n12\n"; });
    EXPECT_EQ(o.out, "3\n7\n12\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, ""); // no progress bar on a pipe
}

TEST_F(ScanTest, ProbesTheRangeGiven) {
    StartBench(Cells({3, 40, 191}));
    Outcome o = RunExpecting({"scan", "--from", "30", "--to=191"},
                             [](const Outcome& run) { return run.out == "40\n191\n"; });
    EXPECT_EQ(o.out, "40\n191\n");
    EXPECT_EQ(o.status, 0);
}

TEST_F(ScanTest, ALateReplyCountsForTheCellThatSentItNotForTheNextProbe) {
    portsim::Config late = Cells({3, 7});
    late.replyDelayMs = 100; // past its own 80 ms window, inside the next probe's
    StartBench(late);
    Outcome o = RunExpecting({"scan"}, [](const Outcome& run) {
        return Contains(run.err, "address 4 answered as address 3") &&
               Contains(run.err, "address 8 answered as address 7");
    });
    EXPECT_TRUE(Contains(o.err, "loadcell: scan: address 4 answered as address 3 (a late or "
                                "stray reply)\n"))
        << o.err;
    EXPECT_EQ(o.out, "3\n7\n");
    EXPECT_EQ(o.status, 0);
}

TEST_F(ScanTest, NoCellExitsWithOneAndSaysWhereItLooked) {
    portsim::Config silent = Cells({3});
    silent.silent = true;
    StartBench(silent);
    Outcome o = RunLoadcell(On({"scan", "--to", "4"}));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "loadcell: scan: no cell answered at addresses 1-4\n");
}

TEST_F(ScanTest, GarbledRepliesAreReportedButNotCounted) {
    portsim::Config garbled = Cells({2});
    garbled.garble = true;
    StartBench(garbled);
    Outcome o = RunExpectingStatus({"scan", "--to", "3"}, 1);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(Contains(o.err, "address 2: a garbled or cut-short reply, not counted")) << o.err;
}

TEST_F(ScanTest, DrawsItsProgressBarOnlyOnATerminal) {
    StartBench(Cells({2}));
    RunSettings terminal;
    terminal.stderrOnTerminal = true;
    Outcome o;
    for (int attempt = 0; attempt < 5 && o.out != "2\n"; ++attempt)
        o = Program(On({"scan", "--to", "4"}), terminal).Finish();
    EXPECT_EQ(o.out, "2\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(Contains(o.err, "scan [######..................] address 1 (1 of 4)")) << o.err;
    EXPECT_TRUE(Contains(o.err, "scan [########################] address 4 (4 of 4)")) << o.err;
    // The bar is wiped at the end, leaving the terminal's line clean.
    EXPECT_EQ(o.err.substr(o.err.size() - 4), "\r\033[K");
}

TEST_F(ScanTest, CtrlCEndsTheScanWithOneHundredThirty) {
    StartBench(Cells({3}));
    Program run(On({"scan", "--to", "191"})); // about ten seconds of probes
    ASSERT_TRUE(bench_->WaitReceived(4 * 7, 20000));
    run.Signal(SIGINT);
    Outcome o = run.Finish();
    EXPECT_EQ(o.status, 130);
    const std::string last = "loadcell: scan: interrupted\n";
    ASSERT_GE(o.err.size(), last.size()) << o.err;
    EXPECT_EQ(o.err.substr(o.err.size() - last.size()), last) << o.err;
    // Well before the end of the range: the probes stopped at the signal.
    EXPECT_LT(bench_->Received().size(), 100u * 7);
}

using AddressTest = BenchTest;

TEST_F(AddressTest, PrintsTheAddressOfTheCellOnTheLine) {
    StartBench(Cells({9}));
    Outcome o = RunExpectingStatus({"address"}, 0);
    EXPECT_EQ(o.out, "9\n");
    EXPECT_EQ(o.status, 0);
    // One read frame for address 0.
    EXPECT_EQ(bench_->Received(), portsim::ReadFrame(0));
}

TEST_F(AddressTest, SaysWhyNoAddressCame) {
    portsim::Config config;
    config.silent = true;
    StartBench(config);
    Outcome o = RunLoadcell(On({"address"}));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "loadcell: address: no cell reported its address (no reply)\n");

    config.silent = false;
    config.fixedReply = portsim::Bytes{0x02};
    config_ = config;
    bench_->Reconfigure(config);
    const std::string endsAtStart =
        "loadcell: address: no cell reported its address (a garbled or cut-short reply (two "
        "cells answering at once look like this))\n";
    o = RunExpecting({"address"}, [&](const Outcome& run) { return run.err == endsAtStart; });
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, endsAtStart);
}

} // namespace
