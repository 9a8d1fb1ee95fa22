// The portsim program as a script on a test line uses it: its ready line through a
// pipe, its claim on a link, the device going away, the trace, its memory, its version.
#include "portsim_program.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace portsim;
using namespace portsim::testing;
namespace fs = std::filesystem;

namespace {

constexpr size_t kReadReplySize = 10;

// A path in this run's scratch folder, with nothing there yet.
fs::path Scratch(const std::string& name) {
    static const scratchtest::ScratchFolder folder("portsim-line");
    fs::path path = folder / name;
    fs::remove_all(path);
    return path;
}

// Waits up to `timeoutMs` for `done` to hold.
template <typename Done> bool Eventually(Done done, int timeoutMs = 10000) {
    Clock::time_point start = Clock::now();
    while (!done()) {
        if (MsSince(start) > timeoutMs) return false;
        ::usleep(10000);
    }
    return true;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Writes all of `bytes` to a non-blocking descriptor, waiting while its queue is full.
bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    Clock::time_point start = Clock::now();
    while (done < bytes.size() && MsSince(start) < 60000) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd pfd{fd, POLLOUT, 0};
            ::poll(&pfd, 1, 100);
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

bool Answers(const std::string& path, int address, uint32_t code) {
    PtyEnd port = PtyEnd::AsPort(path);
    return port.IsOpen() &&
           port.Exchange(ReadFrame(address), kReadReplySize) == ReadReply(address, code);
}

TEST(ProgramLine, ReadyLineReaderGoneLeavesTheDevicePlaying) {
    fs::path pidFile = Scratch("carry");
    Program program({"--cell", "4:77", "--pidfile", pidFile.string()});
    std::string path = program.FirstLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(std::stol(scratchtest::ReadFile(pidFile)), program.Pid());
    EXPECT_EQ(program.WaitFor(300), -2) << "it plays on while its stdout is read";

    // The reader has its line and goes: the program ends, a child of it plays on.
    program.CloseOut();
    EXPECT_EQ(program.WaitFor(10000), 0);
    ASSERT_TRUE(Eventually([&] {
        return fs::exists(pidFile) &&
               std::stol("0" + scratchtest::ReadFile(pidFile)) != program.Pid();
    }));
    const pid_t player = static_cast<pid_t>(std::stol(scratchtest::ReadFile(pidFile)));
    EXPECT_TRUE(Answers(path, 4, 77)) << "the same device";
    ::kill(player, SIGTERM);
    EXPECT_TRUE(Eventually([&] { return !fs::exists(pidFile); })) << "removed at exit";
    EXPECT_NE(
        program.Err().find("playing on in the background as process " + std::to_string(player)),
        std::string::npos);
}

TEST(ProgramLine, ReadyLineThatCannotBeWrittenEndsTheRun) {
    fs::path link = Scratch("full");
    for (const char* mode : {"", " --background"}) {
        Program shell(
            {"/bin/sh", "-c",
             std::string(PORTSIM_PROGRAM) + mode + " --link " + link.string() + " >/dev/full"},
            false);
        std::string err = shell.Err();
        EXPECT_EQ(shell.WaitFor(20000), 74) << mode << ": " << err;
        EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "cleaned up";
    }
}

TEST(ProgramLine, PipedReadyLineReturnsWithTheDevicePlaying) {
    fs::path pidFile = Scratch("pid");
    const std::string start = std::string(PORTSIM_PROGRAM) + " --background --pidfile " +
                              pidFile.string() + " --cell 4:77 2>/dev/null";
    const std::string plain = std::string(PORTSIM_PROGRAM) + " --pidfile " + pidFile.string() +
                              " --cell 4:77 2>/dev/null";
    for (const std::string& script : {"DEV=$(" + plain + " | head -n 1); echo \"$DEV\"",
                                      "DEV=$(" + start + " | head -n 1); echo \"$DEV\"",
                                      "DEV=$(" + start + "); echo \"$DEV\""}) {
        Program shell({"/bin/sh", "-c", script}, false);
        std::string path = shell.FirstLine();
        ASSERT_EQ(shell.WaitFor(20000), 0) << script;
        ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
        ASSERT_TRUE(Eventually([&] { return fs::exists(pidFile); })) << script;
        const long pid = std::stol(scratchtest::ReadFile(pidFile));
        EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0) << "the playing process runs on";
        EXPECT_TRUE(Answers(path, 4, 77)) << script;
        ::kill(static_cast<pid_t>(pid), SIGTERM);
        EXPECT_TRUE(Eventually([&] { return !fs::exists(pidFile); })) << "removed at exit";
    }
}

TEST(ProgramLine, LinkHeldByARunningPortsimIsRefused) {
    fs::path link = Scratch("link");
    Program first({"--link", link.string(), "--cell", "1:100"});
    std::string firstPath = first.FirstLine();
    ASSERT_FALSE(firstPath.empty());

    Program second({"--link", link.string(), "--cell", "2:200"});
    std::string err = second.Err();
    EXPECT_EQ(second.Wait(), 75);
    EXPECT_NE(err.find("held by a running portsim (process " + std::to_string(first.Pid())),
              std::string::npos)
        << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
    EXPECT_EQ(fs::read_symlink(link), firstPath) << "the first one keeps its link";
    EXPECT_TRUE(Answers(link.string(), 1, 100));

    // A portsim that was killed leaves its link behind: the next one takes it over.
    first.Signal(SIGKILL);
    EXPECT_EQ(first.Wait(), 1000 + SIGKILL);
    ASSERT_TRUE(fs::is_symlink(link));
    Program third({"--link", link.string(), "--cell", "3:300"});
    std::string thirdPath = third.FirstLine();
    ASSERT_FALSE(thirdPath.empty());
    EXPECT_EQ(fs::read_symlink(link), thirdPath);
    EXPECT_TRUE(Answers(link.string(), 3, 300));
    third.Signal(SIGINT);
    EXPECT_EQ(third.Wait(), 130);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    // What is not a link is never taken.
    struct Case {
        fs::path path;
        const char* what;
    };
    fs::path file = Scratch("file");
    std::ofstream(file) << "keep";
    for (const Case& c : {Case{file, "a file"}, Case{Scratch("none") / "link", "no folder"}}) {
        Program refused({"--link", c.path.string()});
        EXPECT_EQ(refused.Wait(), 73) << c.what;
        EXPECT_TRUE(refused.Out().empty()) << c.what;
    }
    EXPECT_EQ(scratchtest::ReadFile(file), "keep");
    fs::remove(file);
}

TEST(ProgramLine, HangupAfterTakesTheDeviceAway) {
    fs::path link = Scratch("gone");
    Program program({"--link", link.string(), "--hangup-after", "0.5"});
    std::string path = program.FirstLine();
    PtyEnd port = PtyEnd::AsPort(path);
    ASSERT_TRUE(port.IsOpen());
    pollfd pfd{port.Fd(), POLLIN, 0};
    ASSERT_TRUE(Eventually([&] { return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLHUP); }))
        << "the port sees a hang-up";
    char byte;
    ssize_t n = ::read(port.Fd(), &byte, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n << " " << errno;
    EXPECT_EQ(program.WaitFor(10000), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_NE(program.Err().find("hung up after 0.5 s"), std::string::npos);
}

TEST(ProgramLine, TraceShowsEachRequestAndAnswerInHex) {
    Program program({"--trace", "--echo", "--cell", "2:1000", "--drop", "1"});
    std::string path = program.FirstLine();
    {
        PtyEnd port = PtyEnd::AsPort(path);
        ASSERT_TRUE(port.IsOpen());
        EXPECT_EQ(port.Exchange(ReadFrame(2), ReadFrame(2).size()), ReadFrame(2)) << "the echo";
        EXPECT_TRUE(port.ReadUntilQuiet(200).empty()) << "the answer is lost";
    }
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 143);
    std::string err = program.Err();
    const std::string request = "02 52 44 53 42 2B 0D";
    EXPECT_TRUE(std::regex_search(err, std::regex(R"((^|\n) *\d+\.\d{6} <- )" + request + "\n")))
        << err;
    EXPECT_TRUE(std::regex_search(err, std::regex(R"((^|\n) *\d+\.\d{6} -> )" + request + "\n")))
        << "the echo as written: " << err;
    EXPECT_NE(err.find("answer of cell 2 lost"), std::string::npos) << err;
}

TEST(ProgramLine, MemoryStaysFlatUnderALongInput) {
    constexpr size_t kSent = 32u << 20;
    // AddressSanitizer holds freed memory back for a while, and it counts as resident:
    // the program is measured without that quarantine (elsewhere the option means nothing).
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    std::string options = sanitizer ? std::string(sanitizer) + ":" : "";
    ::setenv("ASAN_OPTIONS",
             (options + "quarantine_size_mb=0:thread_local_quarantine_size_kb=0").c_str(), 1);
    for (bool echo : {false, true}) {
        std::vector<std::string> args{"--cell", "1:500"};
        if (echo) args.push_back("--echo");
        Program program(args);
        std::string path = program.FirstLine();
        PtyEnd port = PtyEnd::AsPort(path);
        ASSERT_TRUE(port.IsOpen());
        auto answered = [&] {
            Bytes frame = ReadFrame(1), answer = ReadReply(1, 500);
            Bytes expected = echo ? frame : Bytes{};
            expected.insert(expected.end(), answer.begin(), answer.end());
            return port.Exchange(frame, expected.size()) == expected;
        };
        ASSERT_TRUE(answered()) << "echo " << echo;
        const long before = ResidentKb(program.Pid());
        std::string chunk(64 * 1024, 'x');
        for (size_t sent = 0; sent < kSent; sent += chunk.size()) {
            ASSERT_TRUE(WriteAll(port.Fd(), chunk));
            if (echo) ::tcflush(port.Fd(), TCIFLUSH); // a port that never reads its echo
        }
        // Still answering once it has taken everything in (and the echo is read).
        port.ReadUntilQuiet(300, 60000);
        EXPECT_TRUE(answered()) << "echo " << echo;
        const long after = ResidentKb(program.Pid());
        EXPECT_LT(after - before, 16 * 1024) << "kB grown after 32 MB, echo " << echo;
        program.Signal(SIGTERM);
        EXPECT_EQ(program.Wait(), 143);
    }
}

TEST(ProgramLine, VersionIsTheProjectsAndTheManualsToo) {
    for (const char* option : {"--version", "-V"}) {
        Program program({option});
        EXPECT_EQ(program.Out(), "portsim (PortBench) " PORTBENCH_VERSION "\n");
        EXPECT_EQ(program.Wait(), 0);
    }
    const std::string page = scratchtest::ReadFile(PORTSIM_MANUAL);
    EXPECT_EQ(page.substr(0, page.find('\n')),
              ".TH PORTSIM 1 \"December 2026\" \"PortBench " PORTBENCH_VERSION
              "\" \"User Commands\"");
    const std::string seeAlso = page.substr(page.find(".SH SEE ALSO"));
    EXPECT_NE(seeAlso.find(".BR loadcell (1)"), std::string::npos);
    EXPECT_NE(seeAlso.find(".BR portbench (1)"), std::string::npos);
    if (std::system("command -v groff >/dev/null") == 0) {
        Program groff({"/bin/sh", "-c", "groff -man -Tutf8 -ww -z '" PORTSIM_MANUAL "' 2>&1"},
                      false);
        EXPECT_EQ(groff.Out(), "") << "the page reads without warnings";
        EXPECT_EQ(groff.Wait(), 0);
    }
}

} // namespace
