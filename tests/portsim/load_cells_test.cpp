// The bench's load cells as the port sees them over a real pseudo-terminal.
#include "bench_on_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

using namespace portsim;
using namespace portsim::testing;

namespace {

constexpr size_t kReadReplySize = 10;

Bytes Hex(std::initializer_list<int> values) {
    return Bytes(values.begin(), values.end());
}

// The code a read reply carries, found among the replies of the codes within `spread`
// of `base`; -1 when it is none of them.
int CodeNear(const Bytes& reply, int address, int base, int spread) {
    for (int code = std::max(0, base - spread); code <= std::min(1048575, base + spread); ++code)
        if (reply == ReadReply(address, static_cast<uint32_t>(code))) return code;
    return -1;
}

Config OneCell(int address, uint32_t code) {
    Config config;
    config.cells.push_back(Cell{address, code, false});
    return config;
}

class LoadCells : public BenchOnLine {
  protected:
    // Sends a frame that gets no answer, then one that does: whatever arrives
    // before the second reply belongs to the first frame.
    Bytes AnswerTo(const Bytes& frame, int knownAddress) {
        bench_->ClearReceived();
        port_->Write(frame);
        port_->Write(ReadFrame(knownAddress));
        Bytes got = port_->ReadAtLeast(kReadReplySize, 5000);
        Bytes more = port_->ReadUntilQuiet(200);
        got.insert(got.end(), more.begin(), more.end());
        EXPECT_EQ(bench_->Received().size(), 14u);
        if (got.size() < kReadReplySize) return Hex({0xEE}); // the marker reply went missing
        return Bytes(got.begin(), got.end() - kReadReplySize);
    }
};

TEST(Frames, RequestsAreByteExact) {
    EXPECT_EQ(ReadFrame(0), Hex({0x02, 0x52, 0x44, 0x53, 0x40, 0x29, 0x0D}));
    EXPECT_EQ(ReadFrame(1), Hex({0x02, 0x52, 0x44, 0x53, 0x41, 0x2A, 0x0D}));
    EXPECT_EQ(ReadFrame(12), Hex({0x02, 0x52, 0x44, 0x53, 0x4C, 0x35, 0x0D}));
    EXPECT_EQ(ReadFrame(256), ReadFrame(0));
    EXPECT_EQ(ReadFrame(-1), Hex({0x02, 0x52, 0x44, 0x53, 0x3F, 0x28, 0x0D}));
    EXPECT_EQ(SetAddressFrame(5), Hex({0x02, 0x53, 0x4E, 0x4D, 0x45, 0x33, 0x0D}));
    EXPECT_EQ(SetAddressFrame(12), Hex({0x02, 0x53, 0x4E, 0x4D, 0x4C, 0x3A, 0x0D}));
}

// The replies as the library reads them: address + 0x40 after the start byte, a status
// byte, then the code's five hexadecimal digits as 0x30 + digit, least significant first.
TEST(Frames, RepliesDecodeAsTheLibraryReadsThem) {
    const std::pair<uint32_t, Bytes> known[] = {
        {0u, Hex({0x02, 0x47, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x67, 0x0D})},
        {1u, Hex({0x02, 0x47, 0x30, 0x31, 0x30, 0x30, 0x30, 0x30, 0x68, 0x0D})},
        {74565u, Hex({0x02, 0x47, 0x30, 0x35, 0x34, 0x33, 0x32, 0x31, 0x76, 0x0D})},
        {0xABCDEu, Hex({0x02, 0x47, 0x30, 0x3E, 0x3D, 0x3C, 0x3B, 0x3A, 0xA3, 0x0D})},
        {1048575u, Hex({0x02, 0x47, 0x30, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0xB2, 0x0D})}};
    for (const auto& [code, bytes] : known) {
        Bytes reply = ReadReply(7, code);
        EXPECT_EQ(reply.size(), kReadReplySize);
        EXPECT_EQ(reply, bytes) << "code " << code;
        EXPECT_EQ(std::count(reply.begin(), reply.end(), 0), 0)
            << "survives as a zero-terminated text";
    }
    EXPECT_EQ(AcceptReply(), Hex({0x02, 0x4F, 0x4B, 0x9A, 0x0D}));
    EXPECT_EQ(AddressFormReply(9), Hex({0xFF, 0x4E, 0x49, 0x97, 0x0D}));
}

TEST_F(LoadCells, AnswersItsAddressAndAddressZero) {
    Run(OneCell(5, 74565));
    for (int asked : {5, 0, 256 + 5}) {
        Bytes reply = port_->Exchange(ReadFrame(asked), kReadReplySize);
        ASSERT_EQ(reply.size(), kReadReplySize) << "asked " << asked;
        EXPECT_EQ(reply, ReadReply(5, 74565));
    }
    EXPECT_EQ(bench_->Received().size(), 21u);
}

TEST_F(LoadCells, OtherAddressesAndOtherFramesGetSilence) {
    Run(OneCell(5, 1234));
    EXPECT_TRUE(AnswerTo(ReadFrame(4), 5).empty());
    EXPECT_TRUE(AnswerTo(ReadFrame(12), 5).empty());
    Bytes badChecksum = ReadFrame(5);
    badChecksum[5] ^= 1;
    EXPECT_TRUE(AnswerTo(badChecksum, 5).empty());
    Bytes unknownCommand = Hex({0x02, 'X', 'Y', 'Z', 0x45, 0});
    unknownCommand[5] = static_cast<uint8_t>('X' + 'Y' + 'Z' + 0x45);
    unknownCommand.push_back(0x0D);
    EXPECT_TRUE(AnswerTo(unknownCommand, 5).empty());
}

TEST_F(LoadCells, FindsFramesAfterGarbageAndCutFrames) {
    Run(OneCell(3, 4660));
    Bytes noisy = Hex({0x00, 0x7F, 0x02, 0x52, 0x44, 0x0D, 0x02, 0x02});
    Bytes frame = ReadFrame(3);
    noisy.insert(noisy.end(), frame.begin(), frame.end());
    Bytes reply = port_->Exchange(noisy, kReadReplySize);
    EXPECT_EQ(reply, ReadReply(3, 4660));

    // One byte at a time, with the line idle in between.
    for (uint8_t byte : ReadFrame(0)) {
        port_->Write({byte});
        ::usleep(3000);
    }
    EXPECT_EQ(port_->ReadAtLeast(kReadReplySize), ReadReply(3, 4660));
    EXPECT_TRUE(port_->ReadUntilQuiet(100).empty()) << "one frame, one reply";
}

TEST_F(LoadCells, SetAddressAcceptedMovesTheCell) {
    Run(OneCell(1, 500));
    Bytes reply = port_->Exchange(SetAddressFrame(12), AcceptReply().size());
    EXPECT_EQ(reply, AcceptReply());
    EXPECT_EQ(reply, Hex({0x02, 0x4F, 0x4B, 0x9A, 0x0D}));
    ASSERT_EQ(bench_->Cells().size(), 1u);
    EXPECT_EQ(bench_->Cells()[0].address, 12);
    EXPECT_EQ(bench_->CurrentConfig().cells.at(0).address, 12);
    EXPECT_TRUE(AnswerTo(ReadFrame(1), 12).empty()) << "the old address is gone";
    EXPECT_EQ(port_->Exchange(ReadFrame(0), kReadReplySize), ReadReply(12, 500));
}

TEST_F(LoadCells, SetAddressFormCarriesTheNewAddress) {
    Config config = OneCell(1, 500);
    config.writeAnswer = WriteAnswer::AddressForm;
    Run(config);
    Bytes reply = port_->Exchange(SetAddressFrame(33), 3);
    ASSERT_GE(reply.size(), 3u);
    EXPECT_EQ(reply[0], 0xFF);
    EXPECT_EQ(reply[2], 33 + 0x40) << "the new address";
    EXPECT_EQ(bench_->Cells().at(0).address, 33);
}

TEST_F(LoadCells, SetAddressWithoutAnswerKeepsTheAddress) {
    Config config = OneCell(4, 500);
    config.writeAnswer = WriteAnswer::None;
    Run(config);
    EXPECT_TRUE(AnswerTo(SetAddressFrame(9), 4).empty());
    EXPECT_EQ(bench_->Cells().at(0).address, 4);
}

TEST_F(LoadCells, FixedReplyAnswersEveryFrameExactly) {
    Config config = OneCell(1, 500);
    const Bytes tables[] = {Hex({0x02}),
                            Hex({0xFF}),
                            Hex({0x00, 0x02}),
                            Hex({0x41, 0x42, 0x43}),
                            Hex({0x00, 0x7F, 0x02, 0x45}),
                            Hex({0xFF, 0x02, 0x45}),
                            Hex({0x02, 0x41, 0x30, 0x35, 0x34, 0x33, 0x32, 0x31})};
    Run(config);
    for (const Bytes& fixed : tables) {
        config.fixedReply = fixed;
        bench_->Reconfigure(config);
        for (const Bytes& frame : {ReadFrame(1), ReadFrame(77), SetAddressFrame(3)}) {
            EXPECT_EQ(port_->Exchange(frame, fixed.size()), fixed);
            EXPECT_TRUE(port_->ReadUntilQuiet(50).empty());
        }
    }
    EXPECT_EQ(bench_->Cells().at(0).address, 1) << "a fixed reply is not a cell taking an address";

    config.fixedReply = Hex({0x02, 0x45});
    config.garble = true;
    bench_->Reconfigure(config);
    EXPECT_EQ(port_->Exchange(ReadFrame(1), 2), Hex({0x02, 0x45})) << "never garbled";
    config.silent = true;
    bench_->Reconfigure(config);
    bench_->ClearReceived();
    port_->Write(ReadFrame(1));
    EXPECT_TRUE(bench_->WaitReceived(7, 3000));
    EXPECT_TRUE(port_->ReadUntilQuiet(200).empty()) << "silent wins";
}

TEST_F(LoadCells, SilentCellsNeverAnswer) {
    Config config = OneCell(1, 500);
    config.silent = true;
    Run(config);
    port_->Write(ReadFrame(1));
    port_->Write(ReadFrame(0));
    port_->Write(SetAddressFrame(2));
    EXPECT_TRUE(bench_->WaitReceived(21, 3000));
    EXPECT_TRUE(port_->ReadUntilQuiet(300).empty());
    EXPECT_EQ(bench_->Cells().at(0).address, 1);
}

TEST_F(LoadCells, GarbledAnswersHaveNoStartByte) {
    Config config = OneCell(2, 500);
    config.garble = true;
    Run(config);
    Bytes read = port_->Exchange(ReadFrame(2), kReadReplySize - 1);
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(std::count(read.begin(), read.end(), 0x02), 0) << "no start byte";
    Bytes write = port_->Exchange(SetAddressFrame(2), AcceptReply().size() - 1);
    ASSERT_FALSE(write.empty());
    EXPECT_NE(write[0], 0x02);
    EXPECT_NE(write[0], 0xFF);
    EXPECT_EQ(std::count(read.begin(), read.end(), 0), 0);
}

TEST_F(LoadCells, TwoCellsAtOnceRunTogether) {
    Config config = OneCell(3, 1000);
    config.cells.push_back(Cell{8, 2000, false});
    config.twoCellsAtOnce = true;
    Run(config);
    Bytes both = port_->Exchange(ReadFrame(3), 2 * kReadReplySize);
    ASSERT_EQ(both.size(), 2 * kReadReplySize);
    EXPECT_EQ(Bytes(both.begin(), both.begin() + 10), ReadReply(3, 1000));
    EXPECT_EQ(Bytes(both.begin() + 10, both.end()), ReadReply(8, 2000));
    EXPECT_EQ(Bytes(both.begin(), both.begin() + 2), Hex({0x02, 0x43}))
        << "the library reads the first reply";

    // A single cell brings a second one in.
    bench_->Reconfigure([] {
        Config one = OneCell(3, 1000);
        one.twoCellsAtOnce = true;
        return one;
    }());
    both = port_->Exchange(ReadFrame(0), 2 * kReadReplySize);
    ASSERT_EQ(both.size(), 2 * kReadReplySize);
    EXPECT_EQ(Bytes(both.begin() + 10, both.begin() + 12), Hex({0x02, 0x44})) << "address 4";
}

TEST_F(LoadCells, SeveralCellsEachAnswerTheirOwnAddress) {
    Config config = OneCell(3, 1000);
    config.cells.push_back(Cell{8, 2000, false});
    Run(config);
    EXPECT_EQ(port_->Exchange(ReadFrame(8), kReadReplySize), ReadReply(8, 2000));
    EXPECT_EQ(port_->Exchange(ReadFrame(3), kReadReplySize), ReadReply(3, 1000));
    EXPECT_TRUE(port_->ReadUntilQuiet(50).empty());
}

TEST_F(LoadCells, DriftStaysNearTheCodeAndInRange) {
    Config config;
    config.cells = {Cell{1, 74565, true}, Cell{2, 1, true}, Cell{3, 1048575, true}};
    Run(config);
    for (int address : {1, 2, 3}) {
        uint32_t base = config.cells[address - 1].code;
        std::set<int> seen;
        for (int i = 0; i < 150; ++i) {
            Bytes reply = port_->Exchange(ReadFrame(address), kReadReplySize);
            ASSERT_EQ(reply.size(), kReadReplySize);
            int code = CodeNear(reply, address, static_cast<int>(base), 64);
            EXPECT_GE(code, 0);
            EXPECT_LE(code, 1048575);
            EXPECT_LE(std::abs(code - static_cast<int>(base)), 64);
            seen.insert(code);
        }
        EXPECT_GT(seen.size(), 3u) << "the code of cell " << address << " wanders";
    }
    EXPECT_EQ(bench_->CurrentConfig().cells.at(0).code, 74565u);
}

TEST_F(LoadCells, ARampMovesTheCodeStepByStepAndNoiseStaysInItsBandRepeatably) {
    Config config;
    config.cells = {Cell{1, 1000, false}, Cell{2, 5000, false}, Cell{3, 3, false}};
    config.cells[0].ramp = 4;
    config.cells[1].noise = 6;
    config.cells[2].ramp = -2; // stops at 0
    config.seed = 11;
    std::vector<int> noisy[2];
    for (int run = 0; run < 2; ++run) {
        Run(config);
        for (int i = 0; i < 30; ++i) {
            Bytes ramp = port_->Exchange(ReadFrame(1), kReadReplySize);
            EXPECT_EQ(ramp, ReadReply(1, static_cast<uint32_t>(1000 + 4 * i))) << i;
            Bytes noise = port_->Exchange(ReadFrame(2), kReadReplySize);
            noisy[run].push_back(CodeNear(noise, 2, 5000, 6));
            EXPECT_GE(noisy[run].back(), 0) << "a code within 6 of 5000";
            if (i < 4) {
                EXPECT_EQ(port_->Exchange(ReadFrame(3), kReadReplySize),
                          ReadReply(3, static_cast<uint32_t>(std::max(0, 3 - 2 * i))));
            }
        }
    }
    EXPECT_EQ(noisy[0], noisy[1]) << "the same seed gives the same noise";
    EXPECT_GT(std::set<int>(noisy[0].begin(), noisy[0].end()).size(), 3u);
}

} // namespace
