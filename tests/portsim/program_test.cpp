// The portsim program: its command line, its first line and its clean exit.
#include "bench_on_line.h"
#include "child_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <vector>

using namespace portsim;
using namespace portsim::testing;
namespace fs = std::filesystem;

namespace {

// A running portsim with its stdout and stderr on pipes.
class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        args.insert(args.begin(), PORTSIM_PROGRAM);
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = childtest::StartProgram(std::move(args), out[1], err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~Program() {
        if (pid_ > 0 && status_ < 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }

    // Reads stdout up to its first line break (or its end).
    std::string FirstLine(int timeoutMs = 10000) {
        std::string line;
        Clock::time_point start = Clock::now();
        char c;
        while (MsSince(start) < timeoutMs) {
            pollfd pfd{out_, POLLIN, 0};
            if (::poll(&pfd, 1, 100) <= 0) continue;
            if (::read(out_, &c, 1) != 1 || c == '\n') break;
            line += c;
        }
        return line;
    }
    static std::string Drain(int fd) {
        std::string text;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0)
            text.append(buf, n);
        return text;
    }
    std::string Out() { return Drain(out_); }
    std::string Err() { return Drain(err_); }

    void Signal(int signal) { ::kill(pid_, signal); }
    // The exit status, or -1 if it did not end normally.
    int Wait() {
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
        return status_;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    int status_ = -1;
};

TEST(Program, HelpExplainsTheOptions) {
    Program program({"--help"});
    std::string text = program.Out();
    EXPECT_EQ(program.Wait(), 0);
    for (const char* word :
         {"--link", "--cell", "--drift", "--write-answer", "--echo", "--stream", "--stream-hex",
          "--rate", "--baud", "--late", "--garble", "--silent", "--two-cells", "9600,n,8,1"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
}

TEST(Program, BadOptionsExitWithTwoAndNameTheOption) {
    const std::vector<std::vector<std::string>> cases = {{"--bogus"},
                                                         {"--baud", "fast"},
                                                         {"--cell", "0"},
                                                         {"--cell", "1:2000000"},
                                                         {"--rate", "5"},
                                                         {"--late"},
                                                         {"--write-answer=yes"},
                                                         {"--stream-hex", "4G"},
                                                         {"--echo=1"},
                                                         {"--stream", "a", "--stream-hex", "41"}};
    for (const auto& args : cases) {
        Program program(args);
        std::string err = program.Err();
        EXPECT_EQ(program.Wait(), 2) << args[0];
        std::string option = args[0].substr(0, args[0].find('='));
        EXPECT_EQ(err.rfind("portsim: " + option, 0), 0u) << err;
        EXPECT_NE(err.find("--help"), std::string::npos) << err;
        EXPECT_TRUE(program.Out().empty());
    }
}

TEST(Program, PrintsTheDeviceAndCleansUpOnSignal) {
    fs::path link = fs::temp_directory_path() / ("portsim-program-" + std::to_string(::getpid()));
    fs::remove(link);
    for (int signal : {SIGTERM, SIGINT}) {
        Program program({"--link", link.string(), "--cell", "7:0x1234"});
        std::string path = program.FirstLine();
        ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
        EXPECT_EQ(fs::read_symlink(link), path);
        {
            PtyEnd port = PtyEnd::AsPort(path);
            ASSERT_TRUE(port.IsOpen());
            Bytes reply = port.Exchange(ReadFrame(7), 10);
            EXPECT_EQ(reply, ReadReply(7, 0x1234));
            program.Signal(signal);
        }
        EXPECT_EQ(program.Wait(), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

TEST(Program, BareBenchIsOneCellAtAddressOne) {
    Program program({});
    std::string path = program.FirstLine();
    PtyEnd port = PtyEnd::AsPort(path);
    ASSERT_TRUE(port.IsOpen()) << path;
    EXPECT_EQ(port.Exchange(ReadFrame(0), 10), ReadReply(1, 74565));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
}

} // namespace
