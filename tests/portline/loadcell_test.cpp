// The load-cell exchanges: frames, decodes, and whole exchanges against the bench.
#include "bench_port.h"
#include "loadcell.h"
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"
#include "pty_receive.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace ptytest;
using Bytes = portsim::Bytes;

namespace {

// The whole tables come from bench replies below; these are the corners a bench reply
// does not reach as easily.
TEST(CellDecodes, Corners) {
    auto address = [](std::initializer_list<uint8_t> b) {
        return portline::DecodeCellAddress({b.begin(), b.size()});
    };
    auto value = [](std::initializer_list<uint8_t> b) {
        return portline::DecodeCellValue({b.begin(), b.size()});
    };
    EXPECT_EQ(address({0x02, 0x00}), -64);
    EXPECT_EQ(address({0x02, 0x02, 0x50}), -62); // the byte after the first 02, whatever it is
    EXPECT_EQ(value({0x02, 0x41, 0x30, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F}), 1048575);
    EXPECT_EQ(portline::DecodeWriteReply({}), 0);
}

portsim::Config Silent() {
    portsim::Config config;
    config.silent = true;
    return config;
}

portsim::Config Fixed(Bytes reply) {
    portsim::Config config;
    config.fixedReply = std::move(reply);
    return config;
}

portsim::Config OneCell(int address, uint32_t code) {
    portsim::Config config;
    config.cells.push_back({address, code, false});
    return config;
}

TEST(CellExchanges, SendTheirFramesOnTheWire) {
    BenchPort port(Silent());
    ASSERT_TRUE(port.opened);
    auto sent = [&](auto exchange, int32_t argument) {
        port.bench.ClearReceived();
        exchange(argument);
        port.bench.WaitReceived(7, 2000);
        return port.bench.Received();
    };
    EXPECT_EQ(sent(QuillReadLoadCell, 0), (Bytes{0x02, 0x52, 0x44, 0x53, 0x40, 0x29, 0x0D}));
    EXPECT_EQ(sent(QuillReadLoadCell, 1), (Bytes{0x02, 0x52, 0x44, 0x53, 0x41, 0x2A, 0x0D}));
    EXPECT_EQ(sent(QuillReadLoadCell, 256), (Bytes{0x02, 0x52, 0x44, 0x53, 0x40, 0x29, 0x0D}));
    EXPECT_EQ(sent(QuillReadLoadCell, -1), (Bytes{0x02, 0x52, 0x44, 0x53, 0x3F, 0x28, 0x0D}));
    EXPECT_EQ(sent(QuillReadLoadCellValue, 12), (Bytes{0x02, 0x52, 0x44, 0x53, 0x4C, 0x35, 0x0D}));
    EXPECT_EQ(sent(QuillWriteLoadCell, 5), (Bytes{0x02, 0x53, 0x4E, 0x4D, 0x45, 0x33, 0x0D}));
    EXPECT_EQ(sent(QuillWriteLoadCell, 12), (Bytes{0x02, 0x53, 0x4E, 0x4D, 0x4C, 0x3A, 0x0D}));
}

// Every row of the three result tables, from a reply the bench gives.
TEST(CellExchanges, Results) {
    using Call = int32_t (*)(int32_t);
    struct Row {
        const char* exchange;
        Call call;
        int32_t argument;
        std::optional<Bytes> reply; // none: the bench stays silent
        int32_t result;
    };
    const Call readAddress = QuillReadLoadCell, readValue = QuillReadLoadCellValue,
               writeAddress = QuillWriteLoadCell;
    const Row rows[] = {
        {"read address", readAddress, 1, std::nullopt, 0},
        {"read address", readAddress, 1, Bytes{0x41, 0x42, 0x0D}, -1},
        {"read address", readAddress, 1, Bytes{0x02, 0x45, 0x30, 0x0D}, 5},
        {"read address", readAddress, 1, Bytes{0x00, 0x7F, 0x02, 0x45}, 5},
        {"read address", readAddress, 1, Bytes{0x02}, -64},
        {"read address", readAddress, 1, Bytes{0x02, 0xFF}, 191},
        // Only 12 bytes are read: the 02 at the twelfth place is the last byte read.
        {"read address", readAddress, 1, Bytes{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0x02, 0x45}, -64},

        {"read value", readValue, 1, std::nullopt, -65535},
        {"read value", readValue, 1, Bytes{0x41, 0x42, 0x0D}, -65535},
        {"read value", readValue, 1,
         Bytes{0x02, 0x41, 0x30, 0x35, 0x34, 0x33, 0x32, 0x31, 0x10, 0x0D}, 74565},
        {"read value", readValue, 1, Bytes{0x02, 0x41}, -3355440},
        {"read value", readValue, 1, Bytes{0x02, 0x41, 0x30, 0x3A, 0x30, 0x30, 0x30, 0x30}, 10},
        // The digits run past the 12 bytes read: the last two count as zero bytes.
        {"read value", readValue, 1,
         Bytes{1, 1, 1, 1, 1, 1, 0x02, 0x41, 0x30, 0x31, 0x30, 0x30, 0x30, 0x30},
         1 - 0x30 * (4096 + 65536)},

        {"write address", writeAddress, 9, std::nullopt, 0},
        {"write address", writeAddress, 9, Bytes{0x02, 0x4F, 0x4B, 0x9A, 0x0D}, 20299},
        {"write address", writeAddress, 9, Bytes{0xFF, 0x02, 0x45}, 5},
        {"write address", writeAddress, 9, Bytes{0xFF}, -64},
        {"write address", writeAddress, 9, Bytes{0x00, 0x02}, 0},
        {"write address", writeAddress, 9, Bytes{0x41}, 0},
    };
    BenchPort port(Silent());
    ASSERT_TRUE(port.opened);
    for (const Row& row : rows) {
        port.bench.Reconfigure(row.reply ? Fixed(*row.reply) : Silent());
        EXPECT_EQ(row.call(row.argument), row.result)
            << row.exchange << " " << testing::PrintToString(row.reply);
    }
}

TEST(CellExchanges, AgainstCellsThatAnswerAsCellsDo) {
    BenchPort port(OneCell(3, 74565));
    ASSERT_TRUE(port.opened);
    EXPECT_EQ(QuillReadLoadCell(0), 3);
    EXPECT_EQ(QuillReadLoadCell(3), 3);
    EXPECT_EQ(QuillReadLoadCell(4), 0);
    EXPECT_EQ(QuillReadLoadCellValue(3), 74565);
    EXPECT_EQ(QuillReadLoadCellValue(4), -65535);

    EXPECT_EQ(QuillWriteLoadCell(7), 20299);
    EXPECT_EQ(port.bench.Cells().at(0).address, 7);
    EXPECT_EQ(QuillReadLoadCell(7), 7);

    portsim::Config addressForm = OneCell(7, 1000);
    addressForm.writeAnswer = portsim::WriteAnswer::AddressForm;
    port.bench.Reconfigure(addressForm);
    EXPECT_EQ(QuillWriteLoadCell(11), 11);

    portsim::Config garbled = OneCell(2, 1000);
    garbled.garble = true;
    port.bench.Reconfigure(garbled);
    EXPECT_EQ(QuillReadLoadCell(2), -1);
    EXPECT_EQ(QuillReadLoadCellValue(2), -65535);

    portsim::Config two = OneCell(2, 500);
    two.twoCellsAtOnce = true;
    port.bench.Reconfigure(two);
    EXPECT_EQ(QuillReadLoadCell(0), 2); // the first start byte wins
    EXPECT_EQ(QuillReadLoadCellValue(0), 500);
}

TEST(CellExchanges, BytesThatArrivedEarlierNeverReachTheDecoder) {
    BenchPort port(Silent());
    ASSERT_TRUE(port.opened);
    port.bench.Send({0x02, 0x45, 0x30, 0x35, 0x34, 0x33, 0x32, 0x31});
    SleepMs(150);
    EXPECT_EQ(QuillReadLoadCell(1), 0);

    // An answer that comes after its exchange's window and before the next exchange
    // starts is discarded by that exchange's first purge.
    portsim::Config late = OneCell(1, 4660);
    late.replyDelayMs = 200;
    port.bench.Reconfigure(late);
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    SleepMs(400);
    port.bench.Reconfigure(Silent());
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

// An answer that misses its 50 ms window by a little comes inside the window of a call
// made at once after: that call decodes it as its own reply, and its own answer in turn
// goes to the call after it. The answer lands mid-window, 25 ms from either edge; a
// loaded machine that holds a thread past that spoils a round, which is run again.
TEST(CellExchanges, ALateAnswerIsTakenByACallMadeAtOnceAfter) {
    portsim::Config late = OneCell(1, 4660);
    late.replyDelayMs = 75;
    BenchPort port(late);
    ASSERT_TRUE(port.opened);
    int32_t own = 0, next = 0, after = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        SleepMs(300); // a late answer from the round before lands and is purged
        own = QuillReadLoadCellValue(1);
        next = QuillReadLoadCell(1);
        after = QuillReadLoadCellValue(1);
        if (own == -65535 && next == 1 && after == 4660) break;
    }
    EXPECT_EQ(own, -65535) << "the answer came inside its own window";
    EXPECT_EQ(next, 1) << "the late answer did not reach the next call";
    EXPECT_EQ(after, 4660);
}

TEST(CellExchanges, TheReaderStaysIdleAfterAnExchangeUntilTheNextRequest) {
    PtyDevice device;
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
    Settle();
    ReadAllPort();
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    ExpectTheyWaitForARequest(device, "LATE", 600, "");
    EXPECT_EQ(ClosePort(), 0);
}

// As with a send: a reader pass that found the request before the exchange withdrew it
// never takes the reply.
TEST(CellExchanges, AReaderMidPassNeverTakesTheReply) {
    BenchPort port(OneCell(5, 74565));
    ASSERT_TRUE(port.opened);
    const AroundExchanges round =
        HandedOnAroundExchanges(port, [] { return QuillReadLoadCellValue(5) == 74565; });
    EXPECT_EQ(round.missed, 0);
    EXPECT_EQ(round.handedOn.find_first_not_of('#'), std::string::npos) << round.handedOn;
}

TEST(CellExchanges, WithoutAPortEachGivesItsEmptyReplyResult) {
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

} // namespace
