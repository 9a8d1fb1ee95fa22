// Runs the loadcell program as a shell would, with its output on pipes (or its
// standard error on a terminal), and the virtual bench for it to talk to.
#ifndef LOADCELL_TESTS_PROGRAM_RUN_H
#define LOADCELL_TESTS_PROGRAM_RUN_H

#include "child_program.h"
#include "portsim/bench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace loadcelltest {

struct Outcome {
    int status = -1; // the exit status; -1 when it did not end by exiting
    std::string out;
    std::string err;
};

struct RunSettings {
    std::vector<std::pair<std::string, std::string>> environment;
    bool stderrOnTerminal = false;
    bool asNobody = false;  // drop to the unprivileged user before starting (needs root)
    std::string stdoutPath; // standard output to this file (/dev/full...) instead of a pipe
};

class Program {
  public:
    explicit Program(std::vector<std::string> args, const RunSettings& settings = {}) {
        args.insert(args.begin(), LOADCELL_PROGRAM);
        int out[2], err[2] = {-1, -1};
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        if (settings.stderrOnTerminal) {
            if (::openpty(&err[0], &err[1], nullptr, nullptr, nullptr) != 0) return;
        } else if (::pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        std::vector<std::string> environment = {"TZ=UTC"};
        // The user's own calibrations are never the tests' to read or move.
        bool configGiven = false;
        for (const auto& entry : settings.environment)
            configGiven = configGiven || entry.first == "XDG_CONFIG_HOME";
        if (!configGiven) environment.push_back("XDG_CONFIG_HOME=/nonexistent/loadcell-tests");
        for (const std::string& text : childtest::OwnEnvironment())
            if (text.rfind("LOADCELL_PORT=", 0) != 0 && text.rfind("TZ=", 0) != 0 &&
                text.rfind("XDG_CONFIG_HOME=", 0) != 0)
                environment.push_back(text);
        for (const auto& [name, value] : settings.environment)
            environment.push_back(name + "=" + value);
        if (!settings.stdoutPath.empty()) {
            ::close(out[1]);
            out[1] =
                ::open(settings.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        }
        const bool asNobody = settings.asNobody;
        pid_ =
            childtest::StartProgram(std::move(args), std::move(environment), out[1], err[1], [&] {
                if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(126);
            });
        out_ = out[0];
        err_ = err[0];
    }
    ~Program() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            Finish(10000);
        }
        for (int fd : {out_, err_})
            if (fd >= 0) ::close(fd);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Reads output until standard output holds `lines` line breaks (or time runs out).
    bool WaitForLines(size_t lines, int timeoutMs = 20000) {
        const auto end = Now() + std::chrono::milliseconds(timeoutMs);
        while (Count(outcome_.out, '\n') < lines) {
            if (Now() > end || !Pump(100)) return Count(outcome_.out, '\n') >= lines;
        }
        return true;
    }
    void Signal(int signal) { ::kill(pid_, signal); }
    // Stops reading standard output, as `| head` does once it has its lines.
    void CloseOutput() {
        if (out_ >= 0) ::close(out_);
        out_ = -1;
    }

    // Reads everything, waits for the end; kills the program after `timeoutMs`.
    Outcome Finish(int timeoutMs = 120000) {
        const auto end = Now() + std::chrono::milliseconds(timeoutMs);
        while (Pump(100)) {
            if (Now() > end) ::kill(pid_, SIGKILL);
        }
        int status = 0;
        if (!ended_ && ::waitpid(pid_, &status, 0) == pid_) {
            ended_ = true;
            outcome_.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return outcome_;
    }

  private:
    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    static size_t Count(const std::string& text, char c) {
        return static_cast<size_t>(std::count(text.begin(), text.end(), c));
    }
    // One poll of both streams; false once both have ended.
    bool Pump(int waitMs) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (fds[0].fd < 0 && fds[1].fd < 0) return false;
        if (::poll(fds, 2, waitMs) < 0) return false;
        std::string* targets[2] = {&outcome_.out, &outcome_.err};
        int* ends[2] = {&out_, &err_};
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                targets[i]->append(buf, static_cast<size_t>(n));
            } else { // the end, or EIO from a terminal whose program has gone
                ::close(*ends[i]);
                *ends[i] = -1;
            }
        }
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    bool ended_ = false;
    Outcome outcome_;
};

inline Outcome RunLoadcell(std::vector<std::string> args, const RunSettings& settings = {}) {
    return Program(std::move(args), settings).Finish();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A bench on a pseudo-terminal for the program to use as its port.
class BenchTest : public ::testing::Test {
  protected:
    void StartBench(const portsim::Config& config) {
        config_ = config;
        bench_ = std::make_unique<portsim::Bench>(config);
        ASSERT_TRUE(bench_->Start()) << bench_->Error();
    }
    std::vector<std::string> On(std::vector<std::string> args) const {
        args.push_back("--port");
        args.push_back(bench_->DevicePath());
        return args;
    }
    // Exchanges must be answered within the library's fixed 50 or 80 ms; a loaded
    // machine now and then holds the bench's thread past that. So a run whose outcome
    // is not the one expected is made again, from a fresh bench, up to five times: a
    // real fault fails every time.
    template <typename Expected>
    Outcome RunExpecting(const std::vector<std::string>& args, Expected expected) {
        Outcome outcome;
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (attempt > 0) bench_->Reconfigure(config_);
            bench_->ClearReceived();
            outcome = RunLoadcell(On(args));
            if (expected(outcome)) break;
        }
        return outcome;
    }
    Outcome RunExpectingStatus(const std::vector<std::string>& args, int status) {
        return RunExpecting(args, [&](const Outcome& run) { return run.status == status; });
    }

    // The device's terminal settings as another program sees them through its own
    // open, first made `set` when one is given.
    termios DeviceSettings(const termios* set = nullptr) const {
        termios now{};
        const int fd = ::open(bench_->DevicePath().c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0) return now;
        if (set) ::tcsetattr(fd, TCSANOW, set);
        ::tcgetattr(fd, &now);
        ::close(fd);
        return now;
    }
    // Gives the device settings the library would never leave behind (canonical input,
    // echo, 1200 baud), and returns them as the device then has them.
    termios PresetForeignSettings() const {
        termios preset = DeviceSettings();
        preset.c_lflag |= ICANON | ECHO;
        ::cfsetspeed(&preset, B1200);
        return DeviceSettings(&preset);
    }

    portsim::Config config_;
    std::unique_ptr<portsim::Bench> bench_;
};

inline portsim::Config Cells(const std::vector<int>& addresses) {
    portsim::Config config;
    for (int address : addresses)
        config.cells.push_back({address, 74565, false});
    return config;
}

} // namespace loadcelltest

#endif
