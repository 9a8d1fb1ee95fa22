// The program on lines that misbehave as real ones do: an adapter that echoes, cells
// that answer late or under another address, a device that goes away (and comes back).
#include "program_run.h"

#include <regex>
#include <sstream>

using namespace loadcelltest;

namespace {

using EchoTest = BenchTest;

portsim::Config EchoAndCell() {
    portsim::Config config = Cells({3});
    config.cells[0].code = 1234;
    config.echo = true;
    return config;
}

TEST_F(EchoTest, EveryCommandReadsThroughTheEcho) {
    StartBench(EchoAndCell());
    struct Case {
        std::vector<std::string> args;
        std::string out; // a part of standard output
    };
    const std::vector<Case> cases = {
        {{"scan", "--to", "5"}, "3\n"},
        {{"address"}, "3\n"},
        {{"read", "3"}, " 3 1234\n"},
        {{"assign", "5", "--to", "4"}, "read-back: the cell answers at address 5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        Outcome o = RunExpecting(c.args, [&](const Outcome& run) { return run.status == 0; });
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(Contains(o.out, c.out)) << o.out;
        // The echo of a read, 02 52 .., is never a cell at 0x52 - 0x40 = 18.
        std::istringstream words(o.out);
        for (std::string word; words >> word;)
            EXPECT_NE(word, "18") << o.out;
    }
}

TEST_F(EchoTest, AnEchoAloneIsSaidToBeOne) {
    portsim::Config echo;
    echo.echo = true;
    StartBench(echo);
    Outcome scan = RunExpectingStatus({"scan", "--to", "3"}, 1);
    EXPECT_EQ(scan.out, "");
    EXPECT_TRUE(Contains(scan.err, "the adapter echoes what it sends; its echoes are not cells"))
        << scan.err;
    Outcome address = RunExpectingStatus({"address"}, 1);
    EXPECT_TRUE(Contains(address.err, "only the adapter's echo of the request came back"));
    Outcome read = RunExpectingStatus({"read", "3", "--format", "csv"}, 1);
    EXPECT_TRUE(Contains(read.out, ",3,,echo only\n")) << read.out;
}

using LateTest = BenchTest;

portsim::Config TwoLateCells(int lateMs) {
    portsim::Config config;
    config.cells = {{1, 1000, false}, {2, 2000, false}};
    config.replyDelayMs = lateMs;
    return config;
}

// Every reading line: which address, and its code or status.
std::vector<std::pair<int, std::string>> Readings(const std::string& csv) {
    std::vector<std::pair<int, std::string>> readings;
    for (const std::string& line : Lines(csv)) {
        std::smatch m;
        if (std::regex_match(line, m, std::regex(R"([^,]+,(\d+),(\d*),(.*))")))
            readings.push_back({std::stoi(m[1]), m[2].str().empty() ? m[3].str() : m[2].str()});
    }
    return readings;
}

TEST_F(LateTest, AReplyNamingAnotherCellIsNeverItsReading) {
    // 55 ms: inside the 80 ms window; 100 ms: past it, so each reply reaches the next
    // request, where it names the cell asked before.
    for (int late : {55, 100}) {
        SCOPED_TRACE(late);
        StartBench(TwoLateCells(late));
        Outcome o = RunLoadcell(
            On({"read", "1", "2", "--count", "3", "--interval", "0", "--format", "csv"}));
        const auto readings = Readings(o.out);
        EXPECT_EQ(readings.size(), 6u) << o.out;
        for (const auto& [address, value] : readings) {
            EXPECT_TRUE(value == std::to_string(address * 1000) || value == "late" ||
                        value == "wrong-address" || value == "no reply")
                << address << " read as " << value;
        }
        if (late == 100) {
            EXPECT_TRUE(Contains(o.out, ",late\n")) << o.out;
            EXPECT_TRUE(Contains(o.err, "is not taken as a reading of this cell")) << o.err;
        }
    }
}

TEST_F(LateTest, SettleGivesSlowCellsTheirTime) {
    StartBench(TwoLateCells(100));
    Outcome o = RunExpectingStatus(
        {"read", "1", "2", "--count", "3", "--interval", "0", "--format", "csv", "--settle", "300"},
        0);
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "1000"}, {2, "2000"}, {1, "1000"}, {2, "2000"}, {1, "1000"}, {2, "2000"}};
    EXPECT_EQ(Readings(o.out), expected);
}

TEST_F(LateTest, RetriesAskAgainAfterALateReply) {
    StartBench(TwoLateCells(100));
    // The second request of each reading finds the first one's reply on the line.
    Outcome o = RunExpectingStatus(
        {"read", "1", "--count", "2", "--interval", "0", "--format", "csv", "--retries", "2"}, 0);
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    const std::vector<std::pair<int, std::string>> expected = {{1, "1000"}, {1, "1000"}};
    EXPECT_EQ(Readings(o.out), expected);
}

TEST_F(LateTest, AReplyUnderAnotherAddressIsAWrongAddress) {
    portsim::Config config;
    config.fixedReply = portsim::ReadReply(7, 1234);
    StartBench(config);
    Outcome o = RunExpectingStatus({"read", "3", "--format", "csv"}, 1);
    EXPECT_TRUE(Contains(o.out, ",3,,wrong-address\n")) << o.out;
    EXPECT_TRUE(Contains(o.err, "address 3: the reply named address 7")) << o.err;
}

TEST_F(LateTest, AssignOnASlowCellReportsTheWriteItMade) {
    portsim::Config config = Cells({1});
    config.replyDelayMs = 100;
    StartBench(config);
    Outcome o = RunExpectingStatus({"assign", "5", "--to", "3"}, 0);
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "guard 1-3 and 5: one cell, at address 1\n")) << o.out;
    EXPECT_TRUE(Contains(o.out, "write 5: the cell accepted the address\n"
                                "read-back: the cell answers at address 5\n"))
        << o.out;
    EXPECT_EQ(bench_->Cells()[0].address, 5);
}

class LostPortTest : public BenchTest {
  protected:
    std::string link_ = ::testing::TempDir() + "loadcell-link-" + std::to_string(::getpid());
};

TEST_F(LostPortTest, ADeviceThatGoesAwayEndsTheRunWithItsOwnStatus) {
    StartBench(Cells({3}));
    Program run(On({"read", "3", "--follow", "--interval", "50"}));
    ASSERT_TRUE(run.WaitForLines(2));
    bench_->Stop(); // the far end closes: the port hangs up
    Outcome o = run.Finish(30000);
    EXPECT_EQ(o.status, 74) << o.err;
    EXPECT_TRUE(Contains(o.err, "loadcell: read: the port was lost: the device hung up\n"))
        << o.err;
    EXPECT_TRUE(Contains(o.err, "address 3: readings ")) << o.err; // the summary
    EXPECT_TRUE(std::regex_search(o.out, std::regex(" port lost: the device hung up\n$"))) << o.out;
}

TEST_F(LostPortTest, ScanAndAddressSayTheDeviceIsGoneToo) {
    const Outcome o = RunLoadcell({"address", "--port", "/dev/loadcell-gone"});
    EXPECT_EQ(o.status, 66); // never there: missing, not lost
    StartBench(Cells({3}));
    Program run(On({"scan", "--to", "191"}));
    ASSERT_TRUE(bench_->WaitReceived(3 * 7, 20000));
    bench_->Stop();
    Outcome scan = run.Finish(30000);
    EXPECT_EQ(scan.status, 74) << scan.err;
    EXPECT_TRUE(Contains(scan.err, "loadcell: scan: the port was lost")) << scan.err;
}

TEST_F(LostPortTest, ReconnectWaitsForThePortAndMarksTheGap) {
    portsim::Config config = Cells({3});
    StartBench(config);
    bench_->Stop();
    ASSERT_TRUE(bench_->Start(link_)) << bench_->Error();
    Program run({"read", "3", "--follow", "--interval", "50", "--reconnect", "--format", "csv",
                 "--port", link_});
    ASSERT_TRUE(run.WaitForLines(3));
    bench_->Stop();
    ::usleep(600 * 1000); // gone for a while
    config.cells[0].code = 42;
    bench_->Reconfigure(config);
    ASSERT_TRUE(bench_->Start(link_)) << bench_->Error();
    ASSERT_TRUE(run.WaitForLines(30));
    run.Signal(SIGINT);
    Outcome o = run.Finish(30000);
    EXPECT_EQ(o.status, 130) << o.err;
    const std::string out = o.out;
    const size_t lost = out.find(",,,port lost: ");
    const size_t back = out.find(",,,port back\n");
    ASSERT_NE(lost, std::string::npos) << out;
    ASSERT_NE(back, std::string::npos) << out;
    EXPECT_LT(lost, back);
    EXPECT_TRUE(Contains(out.substr(back), ",3,42,ok\n")) << out;
    EXPECT_TRUE(Contains(o.err, "waiting for it to come back")) << o.err;
}

} // namespace
