// Received bytes decoded across chunks: a character cut between chunks shows
// whole, a broken one shows U+FFFD, and no byte after it is lost.
#include "utf8_stream.h"

#include <gtest/gtest.h>

namespace {

const QString Bad = QString(QChar(0xFFFD));

QString Decoded(std::initializer_list<const char*> chunks) {
    Utf8Stream stream;
    QString text;
    for (const char* chunk : chunks)
        text += stream.Decode(QByteArray(chunk));
    return text + stream.Flush();
}

TEST(Utf8StreamTest, ACharacterCutBetweenChunksShowsOnce) {
    EXPECT_EQ(Decoded({"A\xC3", "\xA9"
                                "B"}),
              QString::fromUtf8("AéB"));
    EXPECT_EQ(Decoded({"\xE4", "\xB8", "\xAD"}), QString::fromUtf8("中"));
    EXPECT_EQ(Decoded({"\xF0\x9F", "\x98\x80"}), QString::fromUtf8("\xF0\x9F\x98\x80"));
}

TEST(Utf8StreamTest, ABrokenCharacterLosesNoFollowingByte) {
    EXPECT_EQ(Decoded({"\xC3", "xy"}), Bad + "xy");
    EXPECT_EQ(Decoded({"\xC3", "\xC3\xA9"}), Bad + QString::fromUtf8("é"));
    EXPECT_EQ(Decoded({"\xE4\xB8", "A"}).right(1), "A");
    EXPECT_EQ(Decoded({"\x80\xFF", "A"}), Bad + Bad + "A");
}

TEST(Utf8StreamTest, OnlyAStartThatCanStillBecomeACharacterWaits) {
    Utf8Stream stream;
    EXPECT_EQ(stream.Decode("A\xC3"), "A");
    EXPECT_TRUE(stream.Waiting());
    EXPECT_EQ(stream.Flush(), Bad);
    EXPECT_FALSE(stream.Waiting());
    EXPECT_EQ(stream.Flush(), "");

    EXPECT_EQ(UnfinishedUtf8Tail("\xE4\xB8"), 2);
    EXPECT_EQ(UnfinishedUtf8Tail("\xF0\x9F\x98"), 3);
    EXPECT_EQ(UnfinishedUtf8Tail("\xE4\xB8\xAD"), 0); // whole
    EXPECT_EQ(UnfinishedUtf8Tail("\xE0\x80"), 0);     // over-long: broken now
    EXPECT_EQ(UnfinishedUtf8Tail("\xED\xA0"), 0);     // a surrogate
    EXPECT_EQ(UnfinishedUtf8Tail("\xF4\x90"), 0);     // beyond U+10FFFF
    EXPECT_EQ(UnfinishedUtf8Tail("\xC0"), 0);         // starts no character
    EXPECT_EQ(UnfinishedUtf8Tail("\xBF\xBF\xBF"), 0); // no lead byte
    EXPECT_EQ(UnfinishedUtf8Tail(""), 0);

    stream.Decode("\xC3");
    stream.Reset();
    EXPECT_EQ(stream.Decode("A"), "A");
}

} // namespace
