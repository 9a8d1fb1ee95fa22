// Sending with the immediate reply, and the modem-control lines. The cases Windows runs
// too are in tests/shared/transmit_cases.h.
#include "bench_port.h"
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"
#include "pty_receive.h"
#include "receive.h"
#include "serial.h"
#include "termios2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include <sys/ioctl.h>

using namespace ptytest;

namespace {

portsim::Config Echo() {
    portsim::Config config;
    config.echo = true;
    return config;
}

class PtyTransmitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
        Settle();
    }
    void TearDown() override { ClosePort(); }

    PtyDevice device;
};

// The reader discards what arrived before it started; the open waits for that, so an
// exchange made at once after the open keeps its reply.
TEST(Transmit, AnExchangeRightAfterTheOpenKeepsItsReply) {
    portsim::Bench bench(Echo());
    ASSERT_TRUE(bench.Start());
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(OpenPort(bench.DevicePath().c_str(), "9600,n,8,1", 1), 1);
        EXPECT_STREQ(WriteSendData("ping"), "ping") << "round " << round;
        ClosePort();
    }
}

// A reader that starts while an exchange is in its window purges only once the exchange
// is over: its start purge takes the port-I/O lock as the exchanges do. The reply already
// waits at the port when the reader starts, so a purge inside the exchange would take it.
TEST(Transmit, TheReadersStartPurgeWaitsForAnExchangeInProgress) {
    PtyDevice device;
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 0), 1); // no reader of its own
    auto reader = std::make_unique<portline::TFormThread>();        // made suspended
    std::thread answer([&] {
        if (device.Receive(4, 5000) != "ping") return;
        device.Send("pong");
        for (int i = 0; i < 100 && device.WaitingAtPort() < 4; ++i)
            SleepMs(1);
        reader->Resume();
    });
    EXPECT_STREQ(WriteSendData("ping"), "pong");
    answer.join();
    reader->WaitUntilPurged();
    reader.reset();
    EXPECT_EQ(ClosePort(), 0);
}

TEST_F(PtyTransmitTest, AReplyOfMoreThan255BytesIsCutAndTheRestDiscarded) {
    std::thread answer([&] {
        if (device.Receive(1, 5000) == "Q") device.Send(std::string(400, 'R'));
    });
    const std::string reply = WriteSendData("Q");
    answer.join();
    EXPECT_EQ(reply, std::string(255, 'R'));
    EXPECT_EQ(device.WaitingAtPort(), 0);
}

// The reader may have found the request set up to a pass before the send withdrew it;
// it must still never take the reply. Each start offset puts the send at another
// point of the reader's pass, with bytes published for it to read.
TEST(Transmit, AReaderMidPassNeverTakesTheReply) {
    BenchPort port(Echo());
    ASSERT_TRUE(port.opened);
    const AroundExchanges round = HandedOnAroundExchanges(
        port, [] { return std::string(WriteSendData("HELLO")) == "HELLO"; });
    EXPECT_EQ(round.missed, 0);
    EXPECT_EQ(round.handedOn.find_first_not_of('#'), std::string::npos) << round.handedOn;
}

termios2 ReadBack(int fd) {
    termios2 t{};
    EXPECT_EQ(ioctl(fd, TCGETS2, &t), 0);
    return t;
}

bool SameSettings(const termios2& a, const termios2& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && a.c_ospeed == b.c_ospeed && a.c_ispeed == b.c_ispeed &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// A pseudo-terminal has no modem lines, so a recording double stands in for the
// platform's line switch; the line settings are read back from the real port.
TEST_F(PtyTransmitTest, DtrAndRtsSwitchOnlyTheirOwnLine) {
    using portline::ModemLine;
    std::vector<std::pair<ModemLine, bool>> switched;
    portline::SetModemLineSwitch([&](ModemLine line, bool on) { switched.emplace_back(line, on); });
    ASSERT_EQ(SetupPort("19200,o,8,2"), 1);
    const termios2 before = ReadBack(device.Slave());

    EXPECT_EQ(SetDTR(1), 1);
    EXPECT_EQ(SetDTR(0), 1);
    EXPECT_EQ(SetDTR(256), 1); // only the low byte counts: off
    EXPECT_EQ(SetDTR(257), 1);
    EXPECT_EQ(SetRTS(1), 1);
    EXPECT_EQ(SetRTS(2), 1);
    portline::SetModemLineSwitch({});

    const std::vector<std::pair<ModemLine, bool>> expected = {
        {ModemLine::Dtr, true}, {ModemLine::Dtr, false}, {ModemLine::Dtr, false},
        {ModemLine::Dtr, true}, {ModemLine::Rts, true},  {ModemLine::Rts, false},
    };
    EXPECT_EQ(switched, expected);
    EXPECT_TRUE(SameSettings(ReadBack(device.Slave()), before));
}

TEST_F(PtyTransmitTest, ModemLinesOnAPortWithoutThemChangeNothing) {
    const termios2 before = ReadBack(device.Slave());
    EXPECT_EQ(SetDTR(1), 1);
    EXPECT_EQ(SetRTS(0), 1);
    EXPECT_TRUE(SameSettings(ReadBack(device.Slave()), before));
}

} // namespace
