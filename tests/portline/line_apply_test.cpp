// The line parameter text as the serial layer applies it: what a pseudo-terminal keeps
// (speed, stop bits, handshake flags) is read back from it; a pseudo-terminal has no modem
// lines and no RS-485 mode, so recording doubles stand in for those switches.
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"
#include "serial.h"
#include "termios2.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <sys/ioctl.h>

using namespace ptytest;
using portline::ModemLine;

namespace {

termios2 ReadBack(int fd) {
    termios2 t{};
    EXPECT_EQ(ioctl(fd, TCGETS2, &t), 0);
    return t;
}

// Records every modem-line and RS-485 switch the layer makes, as "DTR on", "RS485 off"...
class SwitchRecorder {
  public:
    explicit SwitchRecorder(bool rs485Offered = true) {
        portline::SetModemLineSwitch([this](ModemLine line, bool on) {
            switched.push_back(std::string(line == ModemLine::Dtr ? "DTR" : "RTS") +
                               (on ? " on" : " off"));
        });
        portline::SetRs485Switch([this, rs485Offered](bool on) {
            switched.push_back(on ? "RS485 on" : "RS485 off");
            return rs485Offered;
        });
    }
    ~SwitchRecorder() {
        portline::SetModemLineSwitch({});
        portline::SetRs485Switch({});
    }
    SwitchRecorder(const SwitchRecorder&) = delete;
    SwitchRecorder& operator=(const SwitchRecorder&) = delete;

    // What was switched since the last call.
    std::vector<std::string> Take() { return std::exchange(switched, {}); }

    std::vector<std::string> switched;
};

using Switches = std::vector<std::string>;

class LineApplyTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(OpenPort(device.Path().c_str(), "19200,n,8,2", 0), 1); }
    void TearDown() override { ClosePort(); }

    termios2 Port() { return ReadBack(device.Slave()); }

    PtyDevice device;
};

TEST_F(LineApplyTest, ACombinationTheApplyStepRefusesLeavesThePortAsItWas) {
    const termios2 before = Port();
    for (const char* text : {"9600,n,8,1.5", "9600,n,7,1.5", "9600,n,5,2", "baud=9600 data=5",
                             "baud=9600 stop=1.5 xon=on"}) {
        EXPECT_EQ(SetupPort(text), 1);
        const termios2 t = Port();
        EXPECT_EQ(t.c_ospeed, 19200u) << text;
        EXPECT_TRUE(t.c_cflag & CSTOPB) << text;
        EXPECT_EQ(t.c_iflag, before.c_iflag) << text;
        EXPECT_EQ(t.c_cflag, before.c_cflag) << text;
    }
    // 1.5 stop bits with 5-bit characters is taken (two stop bits on a 5-bit line).
    EXPECT_EQ(SetupPort("9600,n,5,1.5"), 1);
    EXPECT_EQ(Port().c_ospeed, 9600u);
    EXPECT_TRUE(Port().c_cflag & CSTOPB);
    EXPECT_EQ(SetupPort("4800,n,8,1"), 1);
    EXPECT_EQ(Port().c_ospeed, 4800u);
    EXPECT_FALSE(Port().c_cflag & CSTOPB);
}

TEST_F(LineApplyTest, A110BaudRateGoesOnTheLineWithTwoStopBits) {
    ASSERT_EQ(SetupPort("9600,n,8,1"), 1);
    ASSERT_FALSE(Port().c_cflag & CSTOPB);
    EXPECT_EQ(SetupPort("110"), 1);
    EXPECT_EQ(Port().c_ospeed, 110u);
    EXPECT_TRUE(Port().c_cflag & CSTOPB);
    EXPECT_EQ(SetupPort("baud=9600 stop=1"), 1);
    EXPECT_EQ(SetupPort("baud=110"), 1);
    EXPECT_TRUE(Port().c_cflag & CSTOPB);
}

// CRTSCTS holds output while CTS is low, so only the output handshake may set it.
TEST_F(LineApplyTest, HandshakesAreOffUnlessTheTextTurnsThemOn) {
    EXPECT_EQ(SetupPort("19200,n,8,1,p"), 1);
    EXPECT_TRUE(Port().c_cflag & CRTSCTS);
    EXPECT_EQ(SetupPort("baud=19200"), 1);
    EXPECT_FALSE(Port().c_cflag & CRTSCTS) << "a keyword text kept the port's handshake";

    EXPECT_EQ(SetupPort("rts=hs"), 1);
    EXPECT_FALSE(Port().c_cflag & CRTSCTS) << "the input handshake stalls output";
    EXPECT_EQ(SetupPort("octs=on"), 1);
    EXPECT_TRUE(Port().c_cflag & CRTSCTS);
    EXPECT_EQ(SetupPort("19200,n,8,1"), 1);
    EXPECT_FALSE(Port().c_cflag & CRTSCTS);

    EXPECT_EQ(SetupPort("xon=on"), 1);
    EXPECT_TRUE(Port().c_iflag & IXON);
    EXPECT_TRUE(Port().c_iflag & IXOFF);
    EXPECT_EQ(SetupPort("baud=19200 odsr=on idsr=on dtr=hs"), 1); // no Linux counterpart
    EXPECT_FALSE(Port().c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(Port().c_cflag & CRTSCTS);
    EXPECT_EQ(Port().c_ospeed, 19200u);
}

struct Step {
    const char* text;
    Switches switched; // what applying the text switches
};

// Applies each text in turn and checks what it switched.
void ExpectSwitches(SwitchRecorder& lines, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        EXPECT_EQ(SetupPort(step.text), 1);
        EXPECT_EQ(lines.Take(), step.switched) << step.text;
    }
}

TEST_F(LineApplyTest, DtrAndRtsKeysSwitchTheLinesAsTheRecordSays) {
    SwitchRecorder lines;
    ExpectSwitches(lines, {
                              {"dtr=off", {"DTR off"}},
                              {"dtr=off", {}}, // only what changed is applied
                              {"rts=off dtr=on", {"DTR on", "RTS off"}},
                              // A handshake line is raised while the port can take input.
                              {"rts=hs", {"RTS on"}},
                              {"rts=hs rts=on dtr=hs", {}},
                          });
    EXPECT_FALSE(Port().c_cflag & CRTSCTS);

    // The exports switch the same record: a text afterwards sees what they left.
    EXPECT_EQ(SetDTR(0), 1);
    EXPECT_EQ(lines.Take(), Switches{"DTR off"});
    ExpectSwitches(lines, {
                              {"dtr=on", {"DTR on"}},
                              // A rejected text or a refused record switches nothing.
                              {"dtr=off rts=off parity=q", {}},
                              {"dtr=off stop=1.5", {}},
                              {"9600,n,8,1", {}},
                          });
    EXPECT_EQ(Port().c_ospeed, 9600u);
}

TEST_F(LineApplyTest, RtsToggleIsTheKernelsRs485Mode) {
    SwitchRecorder lines;
    ExpectSwitches(lines, {
                              {"rts=tg", {"RS485 on"}},
                              {"rts=tg", {}},
                              {"9600,n,8,1", {}}, // the direction switch is no handshake
                              {"rts=on", {"RS485 off", "RTS on"}},
                              {"rts=tg", {"RS485 on"}},
                          });
    EXPECT_EQ(SetRTS(0), 1);
    EXPECT_EQ(lines.Take(), (Switches{"RS485 off", "RTS off"}));

    ExpectSwitches(lines, {{"rts=tg", {"RS485 on"}}});
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(lines.Take(), Switches{"RS485 off"}) << "the port had no RS-485 mode before";
}

TEST_F(LineApplyTest, RtsToggleWithoutRs485ModeChangesNothing) {
    SwitchRecorder lines(false);
    ExpectSwitches(lines, {
                              {"rts=off", {"RTS off"}},
                              {"rts=tg", {"RS485 on"}}, // asked, and refused
                              {"rts=off", {}},          // RTS stayed off
                          });
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(lines.Take(), Switches{});
}

// Without a double: the real switches on a port that has neither modem lines nor RS-485.
TEST_F(LineApplyTest, KeysOnAPortWithoutModemLinesLeaveItsSettingsAlone) {
    const termios2 before = Port();
    EXPECT_EQ(SetupPort("dtr=off rts=tg"), 1);
    EXPECT_EQ(SetupPort("rts=on dtr=hs"), 1);
    const termios2 after = Port();
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_ospeed, before.c_ospeed);
}

} // namespace
