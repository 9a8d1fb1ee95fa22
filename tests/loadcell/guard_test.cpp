// The one-cell guard of assign against lines that must not be written to: two cells
// anywhere in 1-191, colliding or garbled replies, an echo and no cell, a silent line.
// Each refuses with status 3, says what it saw, and sends no address write.
#include "program_run.h"

#include <algorithm>

using namespace loadcelltest;

namespace {

bool WriteWasSent(const portsim::Bench& bench) {
    const portsim::Bytes got = bench.Received();
    const portsim::Bytes frame = {0x02, 'S', 'N', 'M'};
    return std::search(got.begin(), got.end(), frame.begin(), frame.end()) != got.end();
}

std::vector<int> Addresses(const portsim::Bench& bench) {
    std::vector<int> addresses;
    for (const portsim::Cell& cell : bench.Cells())
        addresses.push_back(cell.address);
    return addresses;
}

// Two replies driven onto the bus at once: each bit a wired OR of both.
portsim::Bytes Collided(const portsim::Bytes& a, const portsim::Bytes& b) {
    portsim::Bytes out(std::max(a.size(), b.size()));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = (i < a.size() ? a[i] : 0) | (i < b.size() ? b[i] : 0);
    return out;
}

struct Line {
    const char* name;
    portsim::Config config;
    std::string seen; // part of the refusal
};

std::vector<Line> Lines() {
    std::vector<Line> lines;
    lines.push_back(
        {"CellsAtOneAndFifty", Cells({1, 50}), "2 cells answer (at addresses 1 and 50)"});
    lines.push_back({"CellsOutsideTheOldRange", Cells({150, 160}),
                     "2 cells answer (at addresses 150 and 160)"});
    portsim::Config garbled = Cells({4});
    garbled.garble = true;
    lines.push_back({"GarbledReplies", garbled, "garbled replies"});
    portsim::Config collided;
    collided.fixedReply = Collided(portsim::ReadReply(1, 74565), portsim::ReadReply(2, 1000));
    lines.push_back({"CollidingReplies", collided, "garbled replies"});
    portsim::Config echo;
    echo.echo = true;
    lines.push_back(
        {"AnEchoAndNoCell", echo, "no cell answered at 1-191; the adapter echoes what it sends"});
    portsim::Config silent = Cells({3});
    silent.silent = true;
    lines.push_back({"NoCell", silent, "no cell answered at 1-191"});
    return lines;
}

void PrintTo(const Line& line, std::ostream* os) {
    *os << line.name;
}

class GuardTest : public BenchTest, public ::testing::WithParamInterface<Line> {};

TEST_P(GuardTest, RefusesAndWritesNothing) {
    const Line& line = GetParam();
    StartBench(line.config);
    const std::vector<int> before = Addresses(*bench_);
    // The full guard probes 0 and 1-191: about 16 s.
    Outcome o = RunExpecting({"assign", "5"}, [&](const Outcome& run) {
        return run.status == 3 && Contains(run.err, line.seen);
    });
    EXPECT_EQ(o.status, 3) << o.out << o.err;
    EXPECT_TRUE(Contains(o.err, "loadcell: assign: refused: ")) << o.err;
    EXPECT_TRUE(Contains(o.err, line.seen)) << o.err;
    EXPECT_TRUE(Contains(o.err, "nothing written")) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(WriteWasSent(*bench_));
    EXPECT_EQ(Addresses(*bench_), before);
}

INSTANTIATE_TEST_SUITE_P(Lines, GuardTest, ::testing::ValuesIn(Lines()),
                         [](const auto& test) { return std::string(test.param.name); });

using ForcedGuardTest = BenchTest;

TEST_F(ForcedGuardTest, ForceWritesAllTheSameAndSaysSo) {
    StartBench(Cells({1, 2}));
    Outcome o = RunExpecting({"assign", "5", "--to", "3", "--force"},
                             [](const Outcome& run) { return Contains(run.out, "(--force)"); });
    EXPECT_TRUE(Contains(o.out, "guard 1-3 and 5: 2 cells answer (at addresses 1 and 2)")) << o.out;
    EXPECT_TRUE(Contains(o.out, "writing all the same (--force)\n")) << o.out;
    // Both cells say the same "OK" at once, which the bus carries as one answer: the
    // proof that both took the address is the bench's, not the reply's.
    EXPECT_TRUE(WriteWasSent(*bench_));
    EXPECT_EQ(Addresses(*bench_), (std::vector<int>{5, 5}));
}

TEST_F(ForcedGuardTest, TheGuardShowsItsProgressOnATerminal) {
    StartBench(Cells({1}));
    RunSettings terminal;
    terminal.stderrOnTerminal = true;
    Outcome o;
    for (int attempt = 0; attempt < 5 && o.status != 0; ++attempt)
        o = Program(On({"assign", "5", "--to", "3"}), terminal).Finish();
    EXPECT_EQ(o.status, 0) << o.err;
    // Address 0, then 1 to 3, then the new address.
    EXPECT_TRUE(Contains(o.err, "guard [####....................] address 0 (1 of 5)")) << o.err;
    EXPECT_TRUE(Contains(o.err, "guard [########################] address 5 (5 of 5)")) << o.err;
}

} // namespace
