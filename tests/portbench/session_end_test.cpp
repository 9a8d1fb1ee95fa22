// A session's signals (SIGTERM at a logout, SIGHUP, SIGINT) end PortBench the
// way its close box does: the port closed through the library, so that the
// device's exclusive hold ends with it. Real signals to a real child process
// that holds a real pseudo-terminal.
#include "form_fixture.h"
#include "portline.h"
#include "program_child.h"
#include "pty_device.h"
#include "session_signals.h"

#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/ioctl.h>

namespace {

constexpr char WindowRun[] = "SessionEnd.DISABLED_WindowHoldingThePort";

// Runs only in the child the tests below start: the window with the port of
// PORTBENCH_TEST_PORT opened from its button, watched as the program watches it.
TEST(SessionEnd, DISABLED_WindowHoldingThePort) {
    QTemporaryDir settings;
    SetSettingsFolderForTesting(settings.path());
    SetMessageBoxHook([](const QString& text, const QString&) {
        std::printf("box %s\n", text.toUtf8().constData());
    });
    auto form = NewMainWindow();
    ShowMainWindow(*form);
    form->ComboBox1->setEditText(QString::fromLocal8Bit(qgetenv("PORTBENCH_TEST_PORT")));
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(form->PortOpen);
    SessionSignals watcher([&form] { form->close(); });
    std::printf("ready\n");
    std::fflush(stdout);
    const int status = QCoreApplication::exec();
    std::printf("ended status=%d signal=%d open=%d\n", status, watcher.Received(),
                form->PortOpen ? 1 : 0);
    std::fflush(stdout);
}

// The three signals as a session delivers them, whatever this test was started with.
void DefaultSignals() {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        std::signal(signal, SIG_DFL);
}

bool Exclusive(int fd) {
    int on = 0;
    return ::ioctl(fd, TIOCGEXCL, &on) == 0 && on != 0;
}

TEST(SessionEnd, EachSignalClosesTheWindowAndReleasesThePort) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        ptytest::PtyDevice device;
        childtest::Child child({QCoreApplication::applicationFilePath().toStdString(),
                                "--gtest_also_run_disabled_tests",
                                std::string("--gtest_filter=") + WindowRun},
                               childtest::Environment({"PORTBENCH_TEST_PORT"},
                                                      {"PORTBENCH_TEST_PORT=" + device.Path()}),
                               DefaultSignals);
        ASSERT_TRUE(child.WaitForOutput("ready\n", 60000)) << child.Output() << child.Errors();
        ASSERT_TRUE(Exclusive(device.Slave())); // held by the child's open port

        ASSERT_EQ(::kill(child.Pid(), signal), 0);
        ASSERT_TRUE(child.Wait(20000)) << "still running after the signal";
        EXPECT_NE(
            child.Output().find("ended status=0 signal=" + std::to_string(signal) + " open=0\n"),
            std::string::npos)
            << child.Output() << child.Errors();
        EXPECT_TRUE(WIFEXITED(child.Status()) && WEXITSTATUS(child.Status()) == 0)
            << child.Output() << child.Errors();
        EXPECT_FALSE(Exclusive(device.Slave())) << "the port was not closed";
        // Another program opens it now, as a user without root would.
        ptytest::PtyEnd other = ptytest::PtyEnd::AsPort(device.Path());
        EXPECT_TRUE(other.IsOpen());
    }
}

// Whether the process `pid` catches `signal` (its handler is in place).
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

// The program itself: a signal gives the status of one (128 + its number),
// after the window closed as its close box would close it.
TEST(SessionEnd, TheProgramEndsWithTheSignalsStatus) {
    QTemporaryDir folder;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        childtest::Child child({PORTBENCH_PROGRAM},
                               childtest::Environment({"QT_QPA_PLATFORM", "HOME"},
                                                      {"QT_QPA_PLATFORM=offscreen",
                                                       "HOME=" + folder.path().toStdString()}),
                               DefaultSignals);
        bool caught = false;
        for (int waited = 0; !caught && waited < 60000; waited += 50) {
            caught = Catches(child.Pid(), signal);
            if (!caught) QThread::msleep(50);
        }
        ASSERT_TRUE(caught) << child.Errors();
        ASSERT_EQ(::kill(child.Pid(), signal), 0);
        ASSERT_TRUE(child.Wait(20000));
        EXPECT_TRUE(WIFEXITED(child.Status())) << child.Errors();
        EXPECT_EQ(WEXITSTATUS(child.Status()), 128 + signal) << child.Errors();
    }
}

} // namespace
