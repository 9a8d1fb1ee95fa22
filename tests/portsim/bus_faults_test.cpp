// A bus that misbehaves as real ones do, seen from the port's side of the line: cells
// with faults of their own, an echoing adapter, lost answers and colliding answers.
#include "bench_on_line.h"

#include <gtest/gtest.h>

#include <set>

using namespace portsim;
using namespace portsim::testing;

namespace {

constexpr size_t kReadReplySize = 10;

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes AndOf(const Bytes& a, const Bytes& b) {
    Bytes out = a.size() >= b.size() ? a : b;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        out[i] = a[i] & b[i];
    return out;
}

Cell MakeCell(int address, uint32_t code) {
    Cell cell;
    cell.address = address;
    cell.code = code;
    return cell;
}

class BusFaults : public BenchOnLine {
  protected:
    // Everything the line carries back for `request`, until it has been quiet a while.
    Bytes AllAnswersTo(const Bytes& request, int quietMs = 400) {
        port_->Write(request);
        return port_->ReadUntilQuiet(quietMs, 10000);
    }
};

TEST_F(BusFaults, EachCellHasItsOwnFaults) {
    Config config;
    Cell late = MakeCell(2, 2000), silent = MakeCell(3, 3000), garbled = MakeCell(4, 4000);
    late.lateMs = 150;
    silent.silent = true;
    garbled.garble = true;
    config.cells = {MakeCell(1, 1000), late, silent, garbled};
    Run(config);

    // The late cell is asked first; the prompt one's answer does not wait behind it.
    Bytes both = AllAnswersTo(Joined({ReadFrame(2), ReadFrame(1)}));
    EXPECT_EQ(both, Joined({ReadReply(1, 1000), ReadReply(2, 2000)}));

    struct Case {
        int address;
        const char* what;
    };
    for (const Case& c : {Case{3, "silent"}, Case{4, "garbled"}}) {
        Bytes got = AllAnswersTo(ReadFrame(c.address));
        if (c.address == 3) {
            EXPECT_TRUE(got.empty()) << c.what;
        } else {
            ASSERT_FALSE(got.empty()) << c.what;
            EXPECT_EQ(std::count(got.begin(), got.end(), 0x02), 0) << "no start byte";
        }
    }
    // The silent cell is as good as absent: a written address leaves it where it was.
    EXPECT_FALSE(AllAnswersTo(SetAddressFrame(9)).empty());
    for (const Cell& cell : bench_->Cells())
        EXPECT_EQ(cell.address, cell.silent ? 3 : 9);
}

TEST_F(BusFaults, EchoComesFirstThenTheCellsAnswer) {
    struct Case {
        int lateMs;   // the cell's own delay
        int globalMs; // --late: the echo and the other cells
        int baud;     // pacing (0: none)
    };
    for (const Case& c :
         {Case{-1, 0, 0}, Case{80, 0, 0}, Case{-1, 60, 0}, Case{-1, 0, 9600}, Case{30, 0, 19200}}) {
        Config config;
        Cell cell = MakeCell(3, 1234);
        cell.lateMs = c.lateMs;
        config.cells = {cell};
        config.echo = true;
        config.replyDelayMs = c.globalMs;
        config.paceBaud = c.baud;
        Run(config);
        Bytes got = port_->Exchange(ReadFrame(3), ReadFrame(3).size() + kReadReplySize);
        EXPECT_EQ(got, Joined({ReadFrame(3), ReadReply(3, 1234)}))
            << "cell late " << c.lateMs << ", bench late " << c.globalMs << ", baud " << c.baud;
        EXPECT_TRUE(port_->ReadUntilQuiet(150).empty());
    }
}

// Which of twenty cells answered one round of reads, each asked by its own address.
std::set<int> Answered(const Bytes& line) {
    std::set<int> addresses;
    for (size_t i = 0; i + kReadReplySize <= line.size(); i += kReadReplySize)
        addresses.insert(line[i + 1] - 0x40);
    return addresses;
}

TEST_F(BusFaults, LostAnswersRepeatWithTheSeed) {
    auto round = [this](double chance, uint32_t seed) {
        Config config;
        for (int address = 1; address <= 20; ++address)
            config.cells.push_back(MakeCell(address, 500));
        config.dropChance = chance;
        config.seed = seed;
        Run(config);
        Bytes frames;
        for (int address = 1; address <= 20; ++address)
            frames = Joined({frames, ReadFrame(address)});
        Bytes got = AllAnswersTo(frames);
        EXPECT_EQ(got.size() % kReadReplySize, 0u) << "answers are lost whole";
        return Answered(got);
    };
    EXPECT_EQ(round(0, 1).size(), 20u);
    EXPECT_TRUE(round(1, 1).empty());
    std::set<int> first = round(0.5, 7);
    EXPECT_EQ(round(0.5, 7), first) << "the same seed, the same losses";
    EXPECT_GT(first.size(), 2u);
    EXPECT_LT(first.size(), 18u);
    EXPECT_NE(round(0.5, 8), first);

    // A lost OK still leaves the address written.
    Config config;
    config.cells = {MakeCell(1, 500)};
    config.dropChance = 1;
    Run(config);
    EXPECT_TRUE(AllAnswersTo(SetAddressFrame(12)).empty());
    EXPECT_EQ(bench_->Cells().at(0).address, 12);
}

TEST_F(BusFaults, CellsAnsweringAtOnceCollide) {
    const Bytes one = ReadReply(1, 1000), fifty = ReadReply(50, 2000);
    Config config;
    config.cells = {MakeCell(1, 1000), MakeCell(50, 2000)};
    Run(config);
    Bytes mangled = AllAnswersTo(ReadFrame(0));
    EXPECT_EQ(mangled, AndOf(one, fifty)) << "the byte-wise AND of both";
    EXPECT_NE(mangled, one);
    EXPECT_NE(mangled, fifty);
    // Their own addresses still get clean answers, one cell at a time.
    EXPECT_EQ(AllAnswersTo(ReadFrame(50)), fifty);

    // Both take a written address and say the same OK at once: one OK on the line.
    EXPECT_EQ(AllAnswersTo(SetAddressFrame(7)), AcceptReply());
    for (const Cell& cell : bench_->Cells())
        EXPECT_EQ(cell.address, 7);

    // Answers at different times do not meet.
    Cell late = MakeCell(50, 2000);
    late.lateMs = 100;
    config.cells = {MakeCell(1, 1000), late};
    bench_->Reconfigure(config);
    EXPECT_EQ(AllAnswersTo(ReadFrame(0)), Joined({one, fifty}));

    // Without collisions they run together.
    config.cells = {MakeCell(1, 1000), MakeCell(50, 2000)};
    config.collide = false;
    bench_->Reconfigure(config);
    EXPECT_EQ(AllAnswersTo(ReadFrame(0)), Joined({one, fifty}));
}

TEST_F(BusFaults, KeepsOnlyTheLastReceivedBytes) {
    Config config;
    config.cells = {MakeCell(1, 500)};
    config.keepReceived = 16;
    Run(config);
    Bytes sent;
    for (int i = 0; i < 20000; ++i)
        sent.push_back(static_cast<uint8_t>('A' + i % 26));
    // In pieces the terminal's queue takes at once (the port's end does not block).
    for (size_t at = 0; at < sent.size(); at += 500) {
        ASSERT_TRUE(port_->Write(Bytes(sent.begin() + at, sent.begin() + at + 500)));
        ASSERT_TRUE(bench_->WaitReceived(at + 500, 10000)) << "every byte is counted";
    }
    EXPECT_EQ(bench_->Received(), Bytes(sent.end() - 16, sent.end()));
    // A frame after all that is still answered.
    EXPECT_EQ(port_->Exchange(ReadFrame(1), kReadReplySize), ReadReply(1, 500));
}

} // namespace
