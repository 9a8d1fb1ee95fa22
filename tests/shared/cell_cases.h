// The load-cell exchanges: the frames on the wire, every row of the three result tables
// from a reply the bench gives, and the cases that are the same on Linux and Windows. A
// platform instantiates them with its line:
//   INSTANTIATE_TYPED_TEST_SUITE_P(CellExchanges, CellCases, ptytest::PtyLine);
#ifndef PORTBENCH_TESTS_SHARED_CELL_CASES_H
#define PORTBENCH_TESTS_SHARED_CELL_CASES_H

#include "poll_helpers.h"
#include "portline.h"
#include "shared_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace cases {

// One of the exchanges, as the header declares them.
using Exchange = int32_t(PORTLINE_CALL*)(int32_t);

struct FrameRow {
    Exchange exchange;
    int32_t argument;
    const char* frame; // the request on the wire, in hex
};

struct ResultRow {
    const char* options; // the bench's answer, as portsim's options
    int32_t result;
};

template <typename Line> class CellCases : public ::testing::Test {
  protected:
    static void ExpectResults(Exchange exchange, int32_t argument,
                              std::initializer_list<ResultRow> rows) {
        Line line("--silent");
        ASSERT_TRUE(line.opened);
        for (const ResultRow& row : rows) {
            line.Reconfigure(row.options);
            EXPECT_EQ(exchange(argument), row.result) << row.options;
        }
    }
};
TYPED_TEST_SUITE_P(CellCases);

TYPED_TEST_P(CellCases, SendTheirFramesOnTheWire) {
    const FrameRow rows[] = {
        {QuillReadLoadCell, 0, "02 52 44 53 40 29 0D"},
        {QuillReadLoadCell, 1, "02 52 44 53 41 2A 0D"},
        {QuillReadLoadCell, 256, "02 52 44 53 40 29 0D"},
        {QuillReadLoadCell, -1, "02 52 44 53 3F 28 0D"},
        {QuillReadLoadCellValue, 12, "02 52 44 53 4C 35 0D"},
        {QuillWriteLoadCell, 5, "02 53 4E 4D 45 33 0D"},
        {QuillWriteLoadCell, 12, "02 53 4E 4D 4C 3A 0D"},
    };
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    for (const FrameRow& row : rows) {
        line.ClearReceived();
        row.exchange(row.argument);
        line.WaitReceived(7, 2000);
        EXPECT_EQ(Hex(line.Received()), row.frame) << "argument " << row.argument;
    }
}

TYPED_TEST_P(CellCases, ReadAddressResults) {
    TestFixture::ExpectResults(QuillReadLoadCell, 1,
                               {
                                   {"--silent", 0},
                                   {"--reply-hex=41,42,0D", -1},
                                   {"--reply-hex=02,45,30,0D", 5},
                                   {"--reply-hex=00,7F,02,45", 5},
                                   {"--reply-hex=02", -64},
                                   {"--reply-hex=02,FF", 191},
                                   // Only 12 bytes are read: the 02 at the twelfth place is
                                   // the last byte read.
                                   {"--reply-hex=01,01,01,01,01,01,01,01,01,01,01,02,45", -64},
                               });
}

TYPED_TEST_P(CellCases, ReadValueResults) {
    TestFixture::ExpectResults(
        QuillReadLoadCellValue, 1,
        {
            {"--silent", -65535},
            {"--reply-hex=41,42,0D", -65535},
            {"--reply-hex=02,41,30,35,34,33,32,31,10,0D", 74565},
            {"--reply-hex=02,41", -3355440},
            {"--reply-hex=02,41,30,3A,30,30,30,30", 10},
            // The digits run past the 12 bytes read: the last two count as zero bytes.
            {"--reply-hex=01,01,01,01,01,01,02,41,30,31,30,30,30,30", 1 - 0x30 * (4096 + 65536)},
        });
}

TYPED_TEST_P(CellCases, WriteAddressResults) {
    TestFixture::ExpectResults(QuillWriteLoadCell, 9,
                               {
                                   {"--silent", 0},
                                   {"--reply-hex=02,4F,4B,9A,0D", 20299},
                                   {"--reply-hex=FF,02,45", 5},
                                   {"--reply-hex=FF", -64},
                                   {"--reply-hex=00,02", 0},
                                   {"--reply-hex=41", 0},
                               });
}

TYPED_TEST_P(CellCases, BytesThatArrivedEarlierNeverReachTheDecoder) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    line.Send("\x02\x45\x30\x35\x34\x33\x32\x31");
    ptytest::SleepMs(150);
    EXPECT_EQ(QuillReadLoadCell(1), 0);

    // An answer that comes after its exchange's window and before the next exchange
    // starts is discarded by that exchange's first purge.
    line.Reconfigure("--cell 1:4660 --late 200");
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    ptytest::SleepMs(400);
    line.Reconfigure("--silent");
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

TYPED_TEST_P(CellCases, TheReaderStaysIdleAfterAnExchangeUntilTheNextRequest) {
    TypeParam line("--silent");
    ASSERT_TRUE(line.opened);
    ReadAllPort();
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    line.Send("LATE");
    ptytest::SleepMs(600);
    EXPECT_EQ(line.WaitingAtPort(), 4);
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(line.PolledText("LATE"), "LATE");
    EXPECT_EQ(ClosePort(), 0);
}

TYPED_TEST_P(CellCases, AgainstCellsThatAnswerAsCellsDo) {
    TypeParam line("--cell 3:74565");
    ASSERT_TRUE(line.opened);
    EXPECT_EQ(QuillReadLoadCell(0), 3);
    EXPECT_EQ(QuillReadLoadCell(3), 3);
    EXPECT_EQ(QuillReadLoadCell(4), 0);
    EXPECT_EQ(QuillReadLoadCellValue(3), 74565);
    EXPECT_EQ(QuillReadLoadCellValue(4), -65535);

    EXPECT_EQ(QuillWriteLoadCell(7), 20299);
    EXPECT_EQ(QuillReadLoadCell(7), 7) << "the cell took its new address";

    line.Reconfigure("--cell 7:1000 --write-answer address");
    EXPECT_EQ(QuillWriteLoadCell(11), 11);

    line.Reconfigure("--cell 2:1000 --garble");
    EXPECT_EQ(QuillReadLoadCell(2), -1);
    EXPECT_EQ(QuillReadLoadCellValue(2), -65535);

    line.Reconfigure("--cell 2:500 --two-cells");
    EXPECT_EQ(QuillReadLoadCell(0), 2); // the first start byte wins
    EXPECT_EQ(QuillReadLoadCellValue(0), 500);
}

TYPED_TEST_P(CellCases, WithoutAPortEachGivesItsEmptyReplyResult) {
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

REGISTER_TYPED_TEST_SUITE_P(CellCases, SendTheirFramesOnTheWire, ReadAddressResults,
                            ReadValueResults, WriteAddressResults,
                            BytesThatArrivedEarlierNeverReachTheDecoder,
                            TheReaderStaysIdleAfterAnExchangeUntilTheNextRequest,
                            AgainstCellsThatAnswerAsCellsDo,
                            WithoutAPortEachGivesItsEmptyReplyResult);

} // namespace cases

#endif
