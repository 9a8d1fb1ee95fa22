// The byte lists that loadcell send, portsim --stream-hex and --reply-hex read.
#include "hex_bytes.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(HexBytes, GroupsRunsOfPairsAndSeparators) {
    const struct {
        const char* text;
        Bytes bytes;
    } accepted[] = {
        {"02 52 44", {0x02, 0x52, 0x44}},
        {"2,52,44", {0x02, 0x52, 0x44}},
        {"025244", {0x02, 0x52, 0x44}},
        {"0102", {0x01, 0x02}},
        {"0252445341 2A0D", {0x02, 0x52, 0x44, 0x53, 0x41, 0x2A, 0x0D}},
        {"\tff,\t0A  b ", {0xFF, 0x0A, 0x0B}},
        {"aBcD", {0xAB, 0xCD}},
        {"0", {0x00}},
    };
    for (const auto& row : accepted) {
        SCOPED_TRACE(row.text);
        Bytes bytes{0x99}; // what was there before is replaced
        EXPECT_TRUE(tools::ParseHexBytes(row.text, bytes));
        EXPECT_EQ(bytes, row.bytes);
    }
}

TEST(HexBytes, RefusesOddRunsOtherCharactersAndNothing) {
    // "123" could be 12 03 or 01 23: an odd run longer than one digit is refused.
    for (const char* text :
         {"", " ", ",,", "123", "02 52 445", "4G", "0x41", "41;42", "-1", "41 42\n", "４１"}) {
        SCOPED_TRACE(text);
        Bytes bytes;
        EXPECT_FALSE(tools::ParseHexBytes(text, bytes));
    }
}

} // namespace
