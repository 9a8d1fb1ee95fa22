// Opening, configuring and closing the port, against pseudo-terminals.
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"
#include "pty_receive.h"
#include "serial.h"
#include "termios2.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>

#include <dirent.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace ptytest;

namespace {

termios2 ReadBack(int fd) {
    termios2 t{};
    EXPECT_EQ(ioctl(fd, TCGETS2, &t), 0);
    return t;
}

// Runs `body` in a child process and returns its exit status (-1 when it did not exit).
template <typename Body> int InChild(Body body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts the second program on `path`: its exit status (0: it opened the port, 1: it was
// refused), -1 when it did not run to its end.
int OpenFromAnotherProgram(const std::string& path) {
    char* const argv[] = {const_cast<char*>(PORTLINE_OPEN_PROGRAM), const_cast<char*>(path.c_str()),
                          nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Nice values of the process's threads by name.
std::multimap<std::string, int> ThreadNiceValues() {
    std::multimap<std::string, int> result;
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* e = tasks ? readdir(tasks) : nullptr) {
        if (e->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
        std::string name;
        std::getline(comm, name);
        result.emplace(name, getpriority(PRIO_PROCESS, static_cast<id_t>(std::atoi(e->d_name))));
    }
    if (tasks) closedir(tasks);
    return result;
}

TEST(DevicePath, MapsPortNamesOntoDevices) {
    using portline::DevicePath;
    EXPECT_EQ(DevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DevicePath("COM12"), "/dev/ttyS11");
    EXPECT_EQ(DevicePath("com3"), "/dev/ttyS2");
    EXPECT_EQ(DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePath("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(DevicePath("COM0"), "/dev/COM0");
    EXPECT_EQ(DevicePath("COMX"), "/dev/COMX");
}

TEST(OpenPort, FailsOnAMissingPortOrOneThatIsNoSerialDevice) {
    EXPECT_EQ(OpenPort("/dev/portline-no-such-port", "9600,n,8,1", 1), 0);
    EXPECT_EQ(OpenPort("ttyPortlineMissing", "9600,n,8,1", 1), 0);
    EXPECT_EQ(OpenPort("/dev/null", "9600,n,8,1", 1), 0);
    EXPECT_EQ(ClosePort(), 0);
}

TEST(OpenPort, FailsWhileAnotherProgramHoldsThePort) {
    PtyDevice device;
    int other = open(device.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 0);
    close(other);
    EXPECT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
    EXPECT_EQ(ClosePort(), 0);
}

TEST(OpenPort, ASecondOpenOfAHeldPortFailsFromAnyProcess) {
    PtyDevice device;
    // The other program opens the port while it is free, so its refusal below is the
    // hold's doing.
    ASSERT_EQ(OpenFromAnotherProgram(device.Path()), 0);
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
    EXPECT_EQ(portline::OpenSerialPort(device.Path()), nullptr);
    EXPECT_EQ(OpenFromAnotherProgram(device.Path()), 1);
    // An open over the held port is refused and leaves it working.
    EXPECT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 0);
    ExpectHandedOn(device, "STILL");
    EXPECT_EQ(ClosePort(), 0);
}

TEST(ClosePort, ReturnsZeroEveryTime) {
    EXPECT_EQ(ClosePort(), 0);
    PtyDevice device;
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 0), 1);
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(ClosePort(), 0);
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(ClosePort(), 0);
}

// A pseudo-terminal keeps the speed, the stop bits and the odd/even choice, but forces
// 8 data bits and clears the parity-enable flag; the parser's tests cover the rest.
TEST(LineSettings, AreWhatThePortReadsBack) {
    PtyDevice device;
    ASSERT_EQ(OpenPort(device.Path().c_str(), "19200,o,8,2", 1), 1);
    termios2 t = ReadBack(device.Slave());
    EXPECT_EQ(t.c_ospeed, 19200u);
    EXPECT_EQ(t.c_cflag & CBAUD, static_cast<tcflag_t>(B19200));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & PARODD);
    // Raw: no line editing, echo or output processing; reads never wait.
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_FALSE(t.c_iflag & (ICRNL | IXON));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    EXPECT_EQ(SetupPort("baud=4800 parity=E data=8 stop=1"), 1);
    t = ReadBack(device.Slave());
    EXPECT_EQ(t.c_ospeed, 4800u);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & PARODD);

    EXPECT_EQ(SetupPort("250000,o,8,1"), 1); // a rate without a named constant
    EXPECT_EQ(ReadBack(device.Slave()).c_ospeed, 250000u);

    // A rejected text: what the parser set before the fault is applied all the same.
    EXPECT_EQ(SetupPort("38400,q,8,2"), 1);
    t = ReadBack(device.Slave());
    EXPECT_EQ(t.c_ospeed, 38400u);
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_FALSE(t.c_cflag & CSTOPB);

    EXPECT_EQ(SetupPort("abc"), 1);
    EXPECT_EQ(ReadBack(device.Slave()).c_ospeed, 38400u);
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(SetupPort("9600,n,8,1"), 1); // no port: nothing to change
}

TEST(LineSettings, AnUnparsableTextStillOpens) {
    PtyDevice device;
    EXPECT_EQ(OpenPort(device.Path().c_str(), "abc", 1), 1);
    EXPECT_EQ(ClosePort(), 0);
}

TEST(LineSettings, WhatThePortHadIsPutBackAtClose) {
    PtyDevice device;
    termios before{};
    ASSERT_EQ(tcgetattr(device.Slave(), &before), 0);
    cfsetspeed(&before, B2400);
    before.c_cflag |= CSTOPB;
    before.c_lflag |= ICANON | ECHO;
    before.c_cc[VMIN] = 1;
    before.c_cc[VTIME] = 5;
    ASSERT_EQ(tcsetattr(device.Slave(), TCSANOW, &before), 0);
    ASSERT_EQ(tcgetattr(device.Slave(), &before), 0);

    ASSERT_EQ(OpenPort(device.Path().c_str(), "115200,e,8,1", 1), 1);
    termios during{};
    tcgetattr(device.Slave(), &during);
    EXPECT_EQ(cfgetospeed(&during), static_cast<speed_t>(B115200));
    EXPECT_EQ(ClosePort(), 0);

    termios after{};
    ASSERT_EQ(tcgetattr(device.Slave(), &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(std::memcmp(after.c_cc, before.c_cc, sizeof after.c_cc), 0);
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B2400));
}

TEST(Reader, RunsAtTheProcessPriorityAndEndsWithClosePort) {
    PtyDevice device;
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
    Settle();
    auto threads = ThreadNiceValues();
    int callerNice = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(threads.count("TFormThread"), 1u);
    ASSERT_EQ(threads.count("AXThread"), 1u);
    EXPECT_EQ(threads.find("TFormThread")->second, callerNice);
    EXPECT_EQ(threads.find("AXThread")->second, callerNice);
    if (geteuid() == 0) {
        EXPECT_LE(callerNice, -5) << "the process was not raised";
    }
    EXPECT_EQ(ClosePort(), 0);
    threads = ThreadNiceValues();
    EXPECT_EQ(threads.count("TFormThread") + threads.count("AXThread"), 0u);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// A real failure to create a thread: the child's address space is capped just above
// what it uses, so no thread stack fits.
TEST(Reader, ThatCannotBeCreatedLeavesThePortClosed) {
    PtyDevice device;
    const std::string path = device.Path();
    int status = InChild([&] {
        rlimit original{};
        getrlimit(RLIMIT_AS, &original);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit capped = original;
        capped.rlim_cur =
            static_cast<rlim_t>(pages) * static_cast<rlim_t>(getpagesize()) + (1 << 20);
        if (setrlimit(RLIMIT_AS, &capped) != 0) return 10;
        int opened = OpenPort(path.c_str(), "9600,n,8,1", 1);
        setrlimit(RLIMIT_AS, &original);
        if (opened != 0) return 11;
        if (OpenPort(path.c_str(), "9600,n,8,1", 0) != 1) return 12; // released again
        ClosePort();
        return 0;
    });
    EXPECT_EQ(status, 0);
}
#endif

TEST(DeviceGone, ReaderKeepsItsPaceAndALaterOpenWorks) {
    {
        PtyDevice device;
        ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
        ExpectHandedOn(device, "BYE");
        device.Hangup();

        double cpuBefore = ProcessCpuSeconds();
        auto texts = PollTexts(1, 1500); // the calls go on working
        double cpuUsed = ProcessCpuSeconds() - cpuBefore;
        EXPECT_TRUE(texts.empty());
        EXPECT_LT(cpuUsed, 0.5) << "a reader thread spins";

        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ClosePort(), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    }
    PtyDevice fresh;
    ASSERT_EQ(OpenPort(fresh.Path().c_str(), "9600,n,8,1", 1), 1);
    ExpectHandedOn(fresh, "OK");
    EXPECT_EQ(ClosePort(), 0);
}

} // namespace
