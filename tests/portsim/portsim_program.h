// The portsim program run as a shell would, with its stdout and stderr on pipes.
#ifndef PORTSIM_TESTS_PORTSIM_PROGRAM_H
#define PORTSIM_TESTS_PORTSIM_PROGRAM_H

#include "bench_on_line.h"
#include "child_program.h"

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace portsim::testing {

// A running portsim with its stdout and stderr on pipes.
class Program {
  public:
    // portsim with `args`; with `portsimFirst` false, `args` names its own program.
    explicit Program(std::vector<std::string> args, bool portsimFirst = true) {
        if (portsimFirst) args.insert(args.begin(), PORTSIM_PROGRAM);
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
    // Stops reading stdout, as `head -n 1` does after its line.
    void CloseOut() {
        if (out_ >= 0) ::close(out_);
        out_ = -1;
    }
    std::string Err() { return Drain(err_); }

    void Signal(int signal) { ::kill(pid_, signal); }
    pid_t Pid() const { return pid_; }
    // Wait() that gives up after `timeoutMs` (-2; the destructor then kills the child).
    int WaitFor(int timeoutMs) {
        Clock::time_point start = Clock::now();
        int status = 0;
        while (MsSince(start) < timeoutMs) {
            pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
                return status_;
            }
            if (done < 0) return -1;
            ::usleep(10000);
        }
        return -2;
    }
    // The exit status, or 1000 + the signal if a signal ended it (-1: no child).
    int Wait() {
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        return status_;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    int status_ = -1;
};

} // namespace portsim::testing

#endif
