// The byte and text forms of the receive display and the send box on their
// own: bytes as hexadecimal text, hexadecimal groups into a fixed area that
// restarts when full, a group's low byte, and the send buffer.
#include "text_convert.h"

#include <gtest/gtest.h>

namespace {

QByteArray Groups(const QByteArray& text, HexGroupChars groups, qsizetype areaSize) {
    return HexGroupsToBytes(text, groups, areaSize);
}

QByteArray Repeated(const QByteArray& group, int count) {
    return group.repeated(count);
}

TEST(TextConvertTest, BytesToHexInEachForm) {
    const QByteArray bytes("A\xE4\r", 3);
    EXPECT_EQ(BytesToHex(bytes, HexBlanks::BeforeEach), " 41 E4 0D");
    EXPECT_EQ(BytesToHex(bytes, HexBlanks::Between), "41 E4 0D");
    EXPECT_EQ(BytesToHex(bytes, HexBlanks::BeforeEach, HighBytes::Widened), " 41 FFFFFFE4 0D");
    EXPECT_EQ(BytesToHex(bytes, HexBlanks::Between, HighBytes::Dropped), "41 0D");
    // No blank is left where a dropped byte stood, also at the start.
    EXPECT_EQ(BytesToHex("\xE4\xB8\xAD"
                         "B",
                         HexBlanks::Between, HighBytes::Dropped),
              "42");
    EXPECT_EQ(BytesToHex("", HexBlanks::BeforeEach), "");
    EXPECT_EQ(BytesToHex(QByteArray(1, '\0'), HexBlanks::BeforeEach), " 00");
    EXPECT_EQ(BytesToHex("\x7F\x80\xFF", HexBlanks::Between), "7F 80 FF");
}

TEST(TextConvertTest, BytesToHexRunsTheStepAfterEveryByteAlsoADroppedOne) {
    int steps = 0;
    BytesToHex("A\xE4"
               "B",
               HexBlanks::Between, HighBytes::Dropped, [&] { ++steps; });
    EXPECT_EQ(steps, 3);
}

TEST(TextConvertTest, AGroupGivesTheLowByteOfItsLastEightCharacters) {
    EXPECT_EQ(HexGroupByte("41"), 0x41);
    EXPECT_EQ(HexGroupByte("4142"), 0x42);
    EXPECT_EQ(HexGroupByte(""), 0);
    EXPECT_EQ(HexGroupByte("123456789"), 0x89);
    EXPECT_EQ(HexGroupByte("FFFFFFFFFF42"), 0x42);
    EXPECT_EQ(HexGroupByte("FFFFFFE4"), 0xE4);
    EXPECT_EQ(HexGroupByte("4G"), 0x40);         // digits before the first non-digit, in place
    EXPECT_EQ(HexGroupByte("0x41"), 0x00);       // stops at the x
    EXPECT_EQ(HexGroupByte("123456789G"), 0x90); // the last eight are 3456789G
}

// Hexadecimal groups into a fixed area: what makes a group, what ends the
// text, and the restart of a full area, the display's and the send box's sizes
// included.
TEST(TextConvertTest, HexGroupsIntoAFixedArea) {
    constexpr auto Digits = HexGroupChars::HexDigits;
    constexpr auto AllButBlank = HexGroupChars::AllButBlank;
    struct Case {
        const char* why;
        QByteArray text;
        HexGroupChars groups;
        qsizetype areaSize;
        QByteArray bytes;
    };
    const Case cases[] = {
        // Groups of digits, or of all but the blank.
        {"a non-digit closes a digit group", "4G41", Digits, 16,
         "\x04"
         "A"},
        {"only a blank closes the other kind", "4G 61", AllButBlank, 16, "@a"},
        {"a tab is part of the other kind", "43 41\t42", AllButBlank, 16, "C"},
        {"a tab closes a digit group", "41\t42", Digits, 16, "AB"},
        // An empty group between two separators, or a group of value 0, ends the text.
        {"an empty digit group ends it", "41  42", Digits, 16, "A"},
        {"an empty group ends it", "41  42", AllButBlank, 16, "A"},
        {"a group of value 0 ends it", "41 00 42", AllButBlank, 16, "A"},
        // The text is trimmed first.
        {"trimmed", " \t41 42\r\n", Digits, 16, "AB"},
        {"empty", "", Digits, 16, ""},
        {"blanks only", "   ", AllButBlank, 16, ""},
        // An area of 4 holds 3 bytes: 04 is dropped, 05 and 06 go on at the second byte.
        {"full: restarts behind the first byte", "01 02 03 04 05 06", Digits, 4, "\x01\x05\x06"},
        {"exactly full", "01 02 03", Digits, 4, "\x01\x02\x03"},
        {"full, then nothing", "01 02 03 04", Digits, 4, "\x01"},
        // Each restart drops one group more: 07 is dropped, 08 follows the first byte.
        {"full twice", "01 02 03 04 05 06 07 08", Digits, 4, "\x01\x08"},
        // The smallest area holds one byte and keeps the first.
        {"the smallest area", "41 42 43 44", AllButBlank, 2, "A"},
        // The display's area of 3072 holds 3071 bytes.
        {"the display's area, full", "31 " + Repeated("41 ", 3070) + "42 43 44", Digits, 3072,
         "1CD"},
        {"the display's area, exactly full", Repeated("41 ", 3071), Digits, 3072,
         QByteArray(3071, 'A')},
        // The send box's area of 1024 holds 1023 bytes.
        {"the send box's area, full", Repeated("41 ", 1023) + "42 43 44", AllButBlank, 1024, "ACD"},
        {"the send box's area, exactly full", Repeated("61 ", 1023), AllButBlank, 1024,
         QByteArray(1023, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Groups(c.text, c.groups, c.areaSize), c.bytes);
    }
}

TEST(TextConvertTest, GroupsRunTheStepAfterEveryCharacterAndTheClosingBlank) {
    int steps = 0;
    HexGroupsToBytes(" 41 42 ", HexGroupChars::HexDigits, 16, [&] { ++steps; });
    EXPECT_EQ(steps, 6); // "41 42" trimmed, and the blank that closes 42
}

TEST(TextConvertTest, EachHexFormReadsBackAsItsBytes) {
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    EXPECT_EQ(Groups(BytesToHex(bytes, HexBlanks::BeforeEach, HighBytes::Widened).toLatin1(),
                     HexGroupChars::AllButBlank, 1024),
              bytes);
    EXPECT_EQ(
        Groups(BytesToHex(bytes, HexBlanks::Between).toLatin1(), HexGroupChars::HexDigits, 3072),
        bytes);
    EXPECT_EQ(Groups(BytesToHex(bytes, HexBlanks::Between, HighBytes::Dropped).toLatin1(),
                     HexGroupChars::HexDigits, 3072),
              bytes.left(0x7F));
}

TEST(TextConvertTest, TheSendBufferInHexForm) {
    QByteArray out;
    EXPECT_TRUE(BuildSendBuffer(" 41\t\t42\r\n", true, out, 255));
    EXPECT_EQ(out, "AB"); // any run of bytes up to 0x20 separates, none makes an empty group
    EXPECT_TRUE(BuildSendBuffer("41 00 42", true, out, 255));
    EXPECT_EQ(out, "A"); // a group of value 0 ends the data
    EXPECT_TRUE(BuildSendBuffer("FFFFFFE4 12345678941", true, out, 255));
    EXPECT_EQ(out, "\xE4"
                   "A");
    EXPECT_TRUE(BuildSendBuffer(QString("41 ").repeated(255), true, out, 255));
    EXPECT_EQ(out, QByteArray(255, 'A'));
    EXPECT_FALSE(BuildSendBuffer(QString("41 ").repeated(256), true, out, 255));
    EXPECT_TRUE(BuildSendBuffer(QString("41 ").repeated(256) + "00", true, out, 256));
}

TEST(TextConvertTest, TheSendBufferInPlainForm) {
    QByteArray out;
    EXPECT_TRUE(BuildSendBuffer(QString::fromUtf8(" 中 "), false, out, 255));
    EXPECT_EQ(out, QByteArray(" \xE4\xB8\xAD "));
    EXPECT_TRUE(BuildSendBuffer(QString("AB") + QChar(0) + "CD", false, out, 255));
    EXPECT_EQ(out, "AB"); // a zero byte ends the data
    EXPECT_TRUE(BuildSendBuffer(QString(255, u'x'), false, out, 255));
    EXPECT_FALSE(BuildSendBuffer(QString(256, u'x'), false, out, 255));
    EXPECT_TRUE(BuildSendBuffer(QString(255, u'x') + QChar(0) + "y", false, out, 255));
    EXPECT_EQ(out.size(), 255);
}

} // namespace
