// The receive path against a pseudo-terminal: the test plays the device and polls as
// the host program does. The cases Windows runs too are in tests/shared/receive_cases.h.
#include "library_probe.h"
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"
#include "pty_receive.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace ptytest;

namespace {

class ReceiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // As at load, also when the whole binary runs in one process.
        portline::Reception.WithdrawRequest();
        portline::Reception.ForgetCount();
        ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
        Settle();
    }
    void TearDown() override { ClosePort(); }

    PtyDevice device;
};

// Zero bytes on the line: each read hands on its bytes up to the first zero, the zero and
// what follows it in that read are taken from the port and dropped, and reading goes on.
TEST_F(ReceiveTest, AStreamHeavyInZeroBytes) {
    using namespace std::string_literals;
    const struct {
        std::string arrives;
        const char* handedOn;
    } rows[] = {
        {"AB\0CD"s, "AB"},           {"\0\0XY"s, ""}, {"PQ\0\0\0RS\0"s, "PQ"},
        {std::string(40, '\0'), ""}, {"Z\0"s, "Z"},   {"OK"s, "OK"},
    };
    ReadAllPort();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arrives));
        const uint64_t seen = PublishedCount();
        device.Send(row.arrives);
        ASSERT_TRUE(WaitPublished(seen));
        EXPECT_STREQ(ReadAllPort(), row.handedOn);
        EXPECT_EQ(device.WaitingAtPort(), 0);
    }

    // A steady stream with every third byte zero: what is handed on is bytes sent, in the
    // order sent, none twice, and the port's queue keeps draining.
    std::string sent;
    for (int i = 0; i < 3000; ++i)
        sent += i % 3 == 0 ? '\0' : static_cast<char>('a' + i % 26);
    std::vector<std::string> texts;
    for (size_t at = 0; at < sent.size(); at += 10) {
        device.Send(sent.substr(at, 10));
        SleepMs(10);
        if (at % 170 == 0) texts.push_back(ReadAllPort());
    }
    const std::vector<std::string> rest = PollTexts(sent.size(), 1500);
    texts.insert(texts.end(), rest.begin(), rest.end());
    size_t from = 0, handedOn = 0;
    for (const std::string& text : texts) {
        if (text.empty()) continue;
        const size_t at = sent.find(text, from);
        ASSERT_NE(at, std::string::npos) << "not sent, or out of order: " << text;
        EXPECT_LE(text.size(), 2u) << "a text ran on past a zero byte";
        from = at + text.size();
        handedOn += text.size();
    }
    EXPECT_GT(handedOn, 0u);
    EXPECT_LE(device.WaitingAtPort(), 1) << "the reader stopped taking bytes";
}

// Changing the settings wakes the tty's readers, which is no arrival: two lone bytes
// that the sampling rule holds back stay held back through SetupPort, a rejected one too.
TEST_F(ReceiveTest, SetupPortIsNoReceiveEvent) {
    ReadAllPort();
    device.Send("A");
    SleepMs(300);
    device.Send("B");
    ASSERT_TRUE(PollTexts(1, 700).empty());
    for (const char* text : {"9600,n,8,1", "abc", "19200,n,8,2", "9600,n,8,1"}) {
        EXPECT_EQ(SetupPort(text), 1);
        SleepMs(100);
    }
    EXPECT_TRUE(PollTexts(1, 1200).empty()) << "a settings change was taken for an arrival";
    EXPECT_EQ(device.WaitingAtPort(), 2);
    // A real arrival still ends the wait, which sampled the two bytes as it started.
    device.Send("C");
    auto texts = PollTexts(2, 5000);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "AB");
    EXPECT_EQ(device.WaitingAtPort(), 1);
}

// Each text goes to exactly one call, also when two calls come closer together than a
// reader pass.
TEST_F(ReceiveTest, ATextIsHandedOutOnceEvenToCallsInQuickSuccession) {
    uint64_t seen = PublishedCount();
    ReadAllPort();
    device.Send("XYZ");
    ASSERT_TRUE(WaitPublished(seen));
    EXPECT_STREQ(ReadAllPort(), "XYZ");
    EXPECT_STREQ(ReadAllPort(), "");
    EXPECT_STREQ(ReadAllPort(), "");
}

TEST_F(ReceiveTest, BytesArrivingBetweenRequestsWaitForTheNextOne) {
    uint64_t seen = PublishedCount();
    ReadAllPort();
    device.Send("ONE");
    ASSERT_TRUE(WaitPublished(seen));
    ExpectTheyWaitForARequest(device, "TWO", 400, "ONE");
}

TEST_F(ReceiveTest, ClearPortKeepsAPublishedTextAndDiscardsWaitingInput) {
    uint64_t seen = PublishedCount();
    ReadAllPort();
    device.Send("KEEP");
    ASSERT_TRUE(WaitPublished(seen));
    device.Send("DROP");
    SleepMs(200);
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(ClearPort(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(195));
    EXPECT_EQ(device.WaitingAtPort(), 0);
    EXPECT_STREQ(ReadAllPort(), "KEEP");
    EXPECT_EQ(Joined(PollTexts(1, 1200)), "");
}

TEST_F(ReceiveTest, ClosePortEndsTheReaderPromptlyWithoutTraffic) {
    ReadAllPort();
    SleepMs(500);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ClosePort(), 0);
    // About one reader pass; the bound only catches a wait for a byte that never comes.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(ClosePort(), 0);
}

} // namespace
