// The load-cell exchanges under Wine, against the bench's cells: the frames on the wire
// and every row of the three result tables.
#include "device_agent.h"
#include "poll_helpers.h"
#include "portline.h"

#include <gtest/gtest.h>

#include <string>

using namespace ptytest;
using namespace wintest;

namespace {

// One of the exchanges, as the header declares them.
using Exchange = int32_t(PORTLINE_CALL*)(int32_t);

struct Row {
    const char* options; // the bench's answer
    int32_t result;
};

TEST(CellExchanges, SendTheirFramesOnTheWire) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    auto sent = [&](Exchange exchange, int32_t argument) {
        Order("clear");
        exchange(argument);
        Order("waitreceived 7 2000");
        return Order("received");
    };
    EXPECT_EQ(sent(QuillReadLoadCell, 0), "02 52 44 53 40 29 0D");
    EXPECT_EQ(sent(QuillReadLoadCell, 1), "02 52 44 53 41 2A 0D");
    EXPECT_EQ(sent(QuillReadLoadCell, 256), "02 52 44 53 40 29 0D");
    EXPECT_EQ(sent(QuillReadLoadCell, -1), "02 52 44 53 3F 28 0D");
    EXPECT_EQ(sent(QuillReadLoadCellValue, 12), "02 52 44 53 4C 35 0D");
    EXPECT_EQ(sent(QuillWriteLoadCell, 5), "02 53 4E 4D 45 33 0D");
    EXPECT_EQ(sent(QuillWriteLoadCell, 12), "02 53 4E 4D 4C 3A 0D");
}

void ExpectResults(Exchange exchange, int32_t argument, std::initializer_list<Row> rows) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    for (const Row& row : rows) {
        bench.Reconfigure(row.options);
        EXPECT_EQ(exchange(argument), row.result) << row.options;
    }
}

TEST(CellExchanges, ReadAddressResults) {
    ExpectResults(QuillReadLoadCell, 1,
                  {
                      {"--silent", 0},
                      {"--reply-hex=41,42,0D", -1},
                      {"--reply-hex=02,45,30,0D", 5},
                      {"--reply-hex=00,7F,02,45", 5},
                      {"--reply-hex=02", -64},
                      {"--reply-hex=02,FF", 191},
                      // Only 12 bytes are read: the 02 at the twelfth place is the last.
                      {"--reply-hex=01,01,01,01,01,01,01,01,01,01,01,02,45", -64},
                  });
}

TEST(CellExchanges, ReadValueResults) {
    ExpectResults(
        QuillReadLoadCellValue, 1,
        {
            {"--silent", -65535},
            {"--reply-hex=41,42,0D", -65535},
            {"--reply-hex=02,41,30,35,34,33,32,31,10,0D", 74565},
            {"--reply-hex=02,41", -3355440},
            {"--reply-hex=02,41,30,3A,30,30,30,30", 10},
            // The digits run past the 12 bytes read: the last two count as zero.
            {"--reply-hex=01,01,01,01,01,01,02,41,30,31,30,30,30,30", 1 - 0x30 * (4096 + 65536)},
        });
}

TEST(CellExchanges, WriteAddressResults) {
    ExpectResults(QuillWriteLoadCell, 9,
                  {
                      {"--silent", 0},
                      {"--reply-hex=02,4F,4B,9A,0D", 20299},
                      {"--reply-hex=FF,02,45", 5},
                      {"--reply-hex=FF", -64},
                      {"--reply-hex=00,02", 0},
                      {"--reply-hex=41", 0},
                  });
}

TEST(CellExchanges, AgainstCellsThatAnswerAsCellsDo) {
    BenchOnCom bench("--cell 3:74565");
    ASSERT_TRUE(bench.opened);
    EXPECT_EQ(QuillReadLoadCell(0), 3);
    EXPECT_EQ(QuillReadLoadCell(3), 3);
    EXPECT_EQ(QuillReadLoadCell(4), 0);
    EXPECT_EQ(QuillReadLoadCellValue(3), 74565);
    EXPECT_EQ(QuillReadLoadCellValue(4), -65535);

    EXPECT_EQ(QuillWriteLoadCell(7), 20299);
    EXPECT_EQ(QuillReadLoadCell(7), 7);

    bench.Reconfigure("--cell 7:1000 --write-answer address");
    EXPECT_EQ(QuillWriteLoadCell(11), 11);

    bench.Reconfigure("--cell 2:1000 --garble");
    EXPECT_EQ(QuillReadLoadCell(2), -1);
    EXPECT_EQ(QuillReadLoadCellValue(2), -65535);

    bench.Reconfigure("--cell 2:500 --two-cells");
    EXPECT_EQ(QuillReadLoadCell(0), 2); // the first start byte wins
    EXPECT_EQ(QuillReadLoadCellValue(0), 500);
}

TEST(CellExchanges, BytesThatArrivedEarlierNeverReachTheDecoder) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    bench.Send("\x02\x45\x30\x35\x34\x33\x32\x31");
    SleepMs(150);
    EXPECT_EQ(QuillReadLoadCell(1), 0);

    // A late answer from one exchange is gone before the next one.
    bench.Reconfigure("--cell 1:4660 --late 200");
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    SleepMs(400);
    bench.Reconfigure("--silent");
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

TEST(CellExchanges, TheReaderStaysIdleAfterAnExchangeUntilTheNextRequest) {
    BenchOnCom bench("--silent");
    ASSERT_TRUE(bench.opened);
    ReadAllPort();
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    bench.Send("LATE");
    SleepMs(600);
    EXPECT_EQ(bench.WaitingAtPort(), 4);
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_EQ(bench.PolledText("LATE"), "LATE");
}

TEST(CellExchanges, WithoutAPortEachGivesItsEmptyReplyResult) {
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

} // namespace
