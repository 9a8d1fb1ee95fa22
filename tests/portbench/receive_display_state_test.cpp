// The receive display's state without the window: polls decoded across their
// ends, CR LF split between two polls, and appends held during a conversion.
#include "receive_display.h"

#include <gtest/gtest.h>

namespace {

// The texts a run of polls shows, each recorded as shown.
QString Polls(ReceiveDisplayState& state, std::initializer_list<const char*> polls) {
    QString shown;
    for (const char* poll : polls) {
        const QByteArray bytes(poll);
        shown += state.DecodePoll(bytes);
        state.PollShown(bytes);
    }
    return shown;
}

TEST(ReceiveDisplayStateTest, ACrLfSplitBetweenTwoPollsIsOneLineBreak) {
    ReceiveDisplayState state;
    EXPECT_EQ(Polls(state, {"A\r", "\nB"}), "A\r"
                                            "B");
    EXPECT_EQ(Polls(state, {"\r", "\n\n"}), "\r\n"); // only the first LF completes the CR
    // Something else shown between the two: the LF is a line break of its own.
    Polls(state, {"C\r"});
    state.OtherShown();
    EXPECT_EQ(Polls(state, {"\nD"}), "\nD");
    // A new stream forgets the CR.
    Polls(state, {"E\r"});
    state.Reset();
    EXPECT_EQ(Polls(state, {"\nF"}), "\nF");
}

TEST(ReceiveDisplayStateTest, ACharacterCutBetweenPollsShowsOnceAndAResetDropsItsStart) {
    ReceiveDisplayState state;
    EXPECT_EQ(Polls(state, {"A\xE4\xB8", "\xAD"}), QString::fromUtf8("A中"));
    EXPECT_EQ(Polls(state, {"\xE4"}), "");
    EXPECT_EQ(state.Flush(), QString(QChar(0xFFFD)));
    EXPECT_EQ(state.Flush(), "");
    Polls(state, {"\xE4"});
    state.Reset();
    EXPECT_EQ(state.Flush(), "");
}

TEST(ReceiveDisplayStateTest, AppendsAreHeldOnlyWhileAConversionRuns) {
    ReceiveDisplayState state;
    EXPECT_FALSE(state.Converting());
    EXPECT_FALSE(state.Hold("before"));
    state.BeginConversion();
    EXPECT_TRUE(state.Converting());
    EXPECT_TRUE(state.Hold(" 4F"));
    EXPECT_TRUE(state.Hold(" 4B"));
    EXPECT_EQ(state.EndConversion(), QStringList({" 4F", " 4B"}));
    EXPECT_FALSE(state.Converting());
    EXPECT_FALSE(state.Hold("after"));
    state.BeginConversion();
    EXPECT_TRUE(state.EndConversion().isEmpty()); // nothing held is given twice
}

} // namespace
