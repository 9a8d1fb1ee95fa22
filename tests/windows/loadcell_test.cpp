// The load-cell exchanges under Wine against cells that answer as cells do; the frames,
// the result tables and the rest that Linux runs too are in tests/shared/cell_cases.h.
#include "device_agent.h"
#include "portline.h"

#include <gtest/gtest.h>

using namespace wintest;

namespace {

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

} // namespace
