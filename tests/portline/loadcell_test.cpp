// The load-cell exchanges: decodes, and whole exchanges against the bench. The frames, the
// result tables and the cases Windows runs too are in tests/shared/cell_cases.h.
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

// The whole tables come from bench replies (tests/shared/cell_cases.h); these are the
// corners a bench reply does not reach as easily.
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

portsim::Config OneCell(int address, uint32_t code) {
    portsim::Config config;
    config.cells.push_back({address, code, false});
    return config;
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

} // namespace
