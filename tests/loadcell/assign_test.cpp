// assign against the virtual bench: the scan's refusal and every outcome of the write.
#include "program_run.h"

#include <algorithm>

using namespace loadcelltest;

namespace {

class AssignTest : public BenchTest {
  protected:
    std::vector<int> Addresses() const {
        std::vector<int> addresses;
        for (const portsim::Cell& cell : bench_->Cells())
            addresses.push_back(cell.address);
        return addresses;
    }
    bool WriteWasSent() const {
        const portsim::Bytes got = bench_->Received();
        const portsim::Bytes frame = {0x02, 'S', 'N', 'M'};
        return std::search(got.begin(), got.end(), frame.begin(), frame.end()) != got.end();
    }
};

// The runs that probe every address a frame can carry (16 s each in fixed waits): the
// name puts them with the guard's own tests under the long label.
class AssignFullGuardTest : public AssignTest {};

portsim::Config FixedReply(portsim::Bytes reply) {
    portsim::Config config;
    config.fixedReply = std::move(reply);
    return config;
}

TEST_F(AssignFullGuardTest, MovesTheOneCellAndTheReadBackConfirms) {
    StartBench(Cells({3}));
    Outcome o = RunExpectingStatus({"assign", "5"}, 0);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "guard 1-191: one cell, at address 3\n"
                     "write 5: the cell accepted the address\n"
                     "read-back: the cell answers at address 5\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(Addresses(), std::vector<int>{5});
}

TEST_F(AssignFullGuardTest, AnAddressFormNamingTheNewAddressConfirmsToo) {
    portsim::Config config = Cells({3});
    config.writeAnswer = portsim::WriteAnswer::AddressForm;
    StartBench(config);
    Outcome o = RunExpectingStatus({"assign", "191"}, 0);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(Contains(o.out, "guard 1-191: one cell, at address 3\n"));
    EXPECT_TRUE(Contains(o.out, "write 191: the cell took the address and reports it\n"));
    EXPECT_EQ(Addresses(), std::vector<int>{191});
}

// Two cells are refused and neither changes, also when the second one sits at the new
// address outside the range probed.
TEST_F(AssignFullGuardTest, TwoCellsAreRefusedAndNeitherChanges) {
    const struct {
        std::vector<int> cells;
        const char* newAddress;
        const char* found;
    } buses[] = {
        {{3, 7}, "5", "3 and 7"},
        {{3, 50}, "50", "3 and 50"},
    };
    for (const auto& bus : buses) {
        SCOPED_TRACE(bus.newAddress);
        StartBench(Cells(bus.cells));
        Outcome o = RunExpectingStatus({"assign", bus.newAddress}, 3);
        EXPECT_EQ(o.status, 3);
        EXPECT_EQ(o.out, "");
        EXPECT_TRUE(Contains(o.err, std::string("loadcell: assign: refused: 2 cells answer (at "
                                                "addresses ") +
                                        bus.found + ")"))
            << o.err;
        EXPECT_EQ(Addresses(), bus.cells);
        EXPECT_FALSE(WriteWasSent());
    }
}

TEST_F(AssignTest, ACellOutsideANarrowedRangeIsFoundThroughAddressZero) {
    StartBench(Cells({50}));
    Outcome o = RunExpectingStatus({"assign", "4", "--to", "12"}, 0);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.substr(0, o.out.find('\n')), "guard 1-12: one cell, at address 50");
    EXPECT_EQ(Addresses(), std::vector<int>{4});
}

TEST_F(AssignFullGuardTest, AnUnansweredWriteExitsWithFour) {
    portsim::Config config = Cells({3});
    config.writeAnswer = portsim::WriteAnswer::None;
    StartBench(config);
    Outcome o = RunExpectingStatus({"assign", "5"}, 4);
    EXPECT_EQ(o.status, 4);
    EXPECT_TRUE(Contains(o.out, "write 5: no answer (result 0)\n"
                                "read-back: no cell answers at address 5 (no reply)\n"));
    EXPECT_EQ(o.err, "loadcell: assign: the write got no answer; check the wiring and --params\n");
    EXPECT_EQ(Addresses(), std::vector<int>{3});
}

TEST_F(AssignTest, AnotherAddressInTheAnswerExitsWithFive) {
    // Every frame gets FF 4E 49 ..: the scan sees no start byte, the write reads 9.
    StartBench(FixedReply({0xFF, 0x4E, 0x49, 0x97, 0x0D}));
    Outcome o = RunExpectingStatus({"assign", "5", "--to", "2", "--force"}, 5);
    EXPECT_EQ(o.status, 5);
    EXPECT_TRUE(Contains(o.out, "write 5: the cell answered with address 9\n"));
    EXPECT_TRUE(Contains(o.err, "loadcell: assign: the cell reports address 9 instead of 5\n"));
}

TEST_F(AssignTest, AnAnswerWithoutAnAddressExitsWithSix) {
    StartBench(FixedReply({0xFF})); // FF alone: no whole answer
    Outcome o = RunExpectingStatus({"assign", "5", "--to", "2", "--force"}, 6);
    EXPECT_EQ(o.status, 6);
    EXPECT_TRUE(Contains(o.out, "write 5: the answer carried no address (result -1)\n"));
    EXPECT_TRUE(Contains(o.err, "the answer to the write was garbled (result -1)"));
}

TEST_F(AssignTest, AnAcceptedWriteWithoutTheCellAtItsNewAddressExitsWithSeven) {
    // "OK" to everything: the library would read it as address 15; loadcell takes it
    // for no cell, writes only when forced, and the read-back finds no reading.
    StartBench(FixedReply({0x02, 0x4F, 0x4B, 0x9A, 0x0D}));
    Outcome o = RunExpectingStatus({"assign", "1", "--to", "1", "--force"}, 7);
    EXPECT_EQ(o.status, 7);
    EXPECT_TRUE(Contains(o.out, "write 1: the cell accepted the address\n"
                                "read-back: no cell answers at address 1 (a reply that is no "
                                "reading of it: late)\n"))
        << o.out;
    EXPECT_TRUE(Contains(o.err, "the cell took address 1 but does not answer there"));
}

TEST_F(AssignTest, CtrlCDuringTheScanWritesNothing) {
    StartBench(Cells({3}));
    Program run(On({"assign", "5", "--to", "191"})); // about ten seconds of probes
    ASSERT_TRUE(bench_->WaitReceived(3 * 7, 20000));
    run.Signal(SIGINT);
    Outcome o = run.Finish();
    EXPECT_EQ(o.status, 130);
    EXPECT_EQ(o.err, "loadcell: assign: interrupted before the write: nothing written\n");
    EXPECT_FALSE(WriteWasSent());
    EXPECT_EQ(Addresses(), std::vector<int>{3});
}

} // namespace
