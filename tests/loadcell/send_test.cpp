// send: one raw exchange, the reply in hexadecimal.
#include "program_run.h"

using namespace loadcelltest;

namespace {

using SendTest = BenchTest;

TEST_F(SendTest, PrintsTheEchoedBytesInHex) {
    portsim::Config echo;
    echo.echo = true;
    StartBench(echo);
    Outcome o = RunExpectingStatus({"send", "41 42", "0a", "7F80FF"}, 0);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "41 42 0A 7F 80 FF\n");
    EXPECT_EQ(bench_->Received(), (portsim::Bytes{0x41, 0x42, 0x0A, 0x7F, 0x80, 0xFF}));
}

TEST_F(SendTest, AReadFrameGetsTheCellsReply) {
    StartBench(Cells({1}));
    Outcome o = RunExpectingStatus({"send", "02,52,44,53,41,2A,0D"}, 0);
    EXPECT_EQ(o.status, 0) << o.err;
    // 02, address 1 + 40, 30, the code 74565 as 35 34 33 32 31, checksum, 0D.
    EXPECT_EQ(o.out.substr(0, 24), "02 41 30 35 34 33 32 31 ");
}

TEST_F(SendTest, NoReplyExitsWithOne) {
    portsim::Config silent;
    silent.silent = true;
    StartBench(silent);
    Outcome o = RunLoadcell(On({"send", "02"}));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "loadcell: send: no reply within 80 ms\n");
}

} // namespace
