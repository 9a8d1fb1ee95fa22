// Echo, stream, pacing, late answers and the log of received bytes.
#include "bench_on_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace portsim;
using namespace portsim::testing;

namespace {

class LineModes : public BenchOnLine {};

Bytes AllByteValues() {
    Bytes bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<uint8_t>(i));
    return bytes;
}

TEST_F(LineModes, EchoSendsBackEveryByteUnchanged) {
    Config config;
    config.echo = true;
    Run(config);
    EXPECT_EQ(port_->Exchange({0x41, 0x42, 0x43}, 3), (Bytes{0x41, 0x42, 0x43}));
    // Raw both ways: no CR/LF translation, no flow-control or signal bytes eaten.
    Bytes all = AllByteValues();
    EXPECT_EQ(port_->Exchange(all, all.size()), all);
    EXPECT_TRUE(port_->ReadUntilQuiet(50).empty());
}

TEST_F(LineModes, EchoAndCellsTogether) {
    Config config;
    config.echo = true;
    config.cells.push_back(Cell{1, 99, false});
    Run(config);
    Bytes frame = ReadFrame(1);
    Bytes expected = frame;
    Bytes reply = ReadReply(1, 99);
    expected.insert(expected.end(), reply.begin(), reply.end());
    EXPECT_EQ(port_->Exchange(frame, expected.size()), expected);
}

TEST_F(LineModes, ReceivedLogsEveryByteFromThePort) {
    Run(Config{});
    EXPECT_FALSE(bench_->WaitReceived(1, 50));
    Bytes all = AllByteValues();
    port_->Write(all);
    ASSERT_TRUE(bench_->WaitReceived(all.size(), 3000));
    EXPECT_EQ(bench_->Received(), all);
    bench_->ClearReceived();
    EXPECT_TRUE(bench_->Received().empty());
    port_->Write(ReadFrame(4));
    ASSERT_TRUE(bench_->WaitReceived(7, 3000));
    EXPECT_EQ(bench_->Received(), ReadFrame(4));
}

TEST_F(LineModes, SendReachesThePortWhole) {
    Run(Config{});
    // The bench keeps the device side open too; none of this may end up there.
    Bytes expected;
    for (int round = 0; round < 50; ++round) {
        Bytes chunk{static_cast<uint8_t>(round), 0x0D, 0x0A, 0x11, 0x13, 0x03};
        bench_->Send(chunk);
        expected.insert(expected.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(port_->ReadAtLeast(expected.size()), expected);
}

TEST_F(LineModes, StreamRepeatsThePatternAtRoughlyTheRate) {
    Config config;
    config.stream = {'A', 'B', 0x0D, 0x0A};
    config.streamRate = 400;
    Run(config);
    Clock::time_point start = Clock::now();
    Bytes got = port_->ReadAtLeast(100000, 1000);
    double seconds = MsSince(start) / 1000.0;
    ASSERT_GE(got.size(), 8u);
    // The pattern, in order (opening the port may have flushed its first bytes).
    size_t offset =
        std::find(config.stream.begin(), config.stream.end(), got[0]) - config.stream.begin();
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], config.stream[(i + offset) % 4]) << "at " << i;
    // Never faster than the rate; a loaded machine may make it slower.
    EXPECT_LE(got.size(), 400 * seconds + 20);
    EXPECT_GE(got.size(), 400 * seconds * 0.3);

    // Reconfigured: the stream stops for good.
    config.stream.clear();
    bench_->Reconfigure(config);
    port_->ReadUntilQuiet(100);
    EXPECT_TRUE(port_->ReadUntilQuiet(200).empty());
}

TEST_F(LineModes, StreamWithoutRateFillsTheLineAndWaits) {
    Config config;
    config.stream = {0x55};
    Run(config);
    // Nobody reads for a while: the bench must wait, not spin or drop the line.
    ::usleep(300000);
    Bytes got = port_->ReadAtLeast(200000, 5000);
    EXPECT_GE(got.size(), 200000u);
    EXPECT_EQ(std::count(got.begin(), got.end(), 0x55), static_cast<long>(got.size()));
}

TEST_F(LineModes, PacingHoldsEveryByteToTheBaudRate) {
    Config config;
    config.paceBaud = 9600; // about 1.04 ms a byte
    Run(config);
    Bytes payload(192, 0x5A);
    Clock::time_point start = Clock::now();
    bench_->Send(payload);
    Bytes got = port_->ReadAtLeast(payload.size(), 5000);
    int elapsed = MsSince(start);
    EXPECT_EQ(got, payload);
    EXPECT_GE(elapsed, 190) << "192 bytes at 9600 baud take 200 ms";
}

TEST_F(LineModes, PacedExchangeTakesRequestAndReplyTime) {
    Config config;
    config.cells.push_back(Cell{1, 77, false});
    config.paceBaud = 1200; // 8.33 ms a byte: 7 in, 10 out
    Run(config);
    Clock::time_point start = Clock::now();
    Bytes reply = port_->Exchange(ReadFrame(1), 10);
    int elapsed = MsSince(start);
    EXPECT_EQ(reply, ReadReply(1, 77));
    EXPECT_GE(elapsed, 135) << "17 bytes at 1200 baud take 142 ms";
}

TEST_F(LineModes, LateAnswersComeAfterTheDelay) {
    Config config;
    config.cells.push_back(Cell{1, 77, false});
    config.echo = true;
    config.replyDelayMs = 250;
    Run(config);
    Clock::time_point start = Clock::now();
    port_->Write(ReadFrame(1));
    Bytes first = port_->ReadAtLeast(1, 5000);
    EXPECT_GE(MsSince(start), 245);
    ASSERT_FALSE(first.empty());
    Bytes rest = port_->ReadAtLeast(17 - first.size(), 5000);
    first.insert(first.end(), rest.begin(), rest.end());
    Bytes expected = ReadFrame(1);
    Bytes reply = ReadReply(1, 77);
    expected.insert(expected.end(), reply.begin(), reply.end());
    EXPECT_EQ(first, expected);
}

TEST_F(LineModes, ReconfigureTakesEffectForTheNextFrame) {
    Config cell;
    cell.cells.push_back(Cell{1, 10, false});
    Run(cell);
    EXPECT_EQ(port_->Exchange(ReadFrame(1), 10), ReadReply(1, 10));
    Config echo;
    echo.echo = true;
    bench_->Reconfigure(echo);
    EXPECT_EQ(port_->Exchange(ReadFrame(1), 7), ReadFrame(1));
    EXPECT_TRUE(port_->ReadUntilQuiet(100).empty());
    cell.cells[0].code = 20;
    bench_->Reconfigure(cell);
    EXPECT_EQ(port_->Exchange(ReadFrame(1), 10), ReadReply(1, 20));
    EXPECT_EQ(bench_->CurrentConfig().cells.at(0).code, 20u);
}

} // namespace
