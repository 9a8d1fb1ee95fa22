// The program (or this test binary) run as a child process, as a session or a
// shell starts it: its environment chosen, its output collected, its end awaited.
#ifndef PORTBENCH_TEST_PROGRAM_CHILD_H
#define PORTBENCH_TEST_PROGRAM_CHILD_H

#include "child_program.h"

#include <QTemporaryFile>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>

namespace childtest {

// This process's environment without `drop`, with `add` ("NAME=value") after it.
inline std::vector<std::string> Environment(const std::vector<std::string>& drop,
                                            const std::vector<std::string>& add = {}) {
    std::vector<std::string> kept;
    for (const std::string& entry : OwnEnvironment()) {
        bool dropped = false;
        for (const std::string& name : drop)
            dropped = dropped || entry.rfind(name + "=", 0) == 0;
        if (!dropped) kept.push_back(entry);
    }
    kept.insert(kept.end(), add.begin(), add.end());
    return kept;
}

class Child {
  public:
    // `inChild` runs in the child before the program starts (fork-safe calls only).
    template <typename InChild = void (*)()>
    Child(
        std::vector<std::string> args, std::vector<std::string> environment,
        InChild inChild = [] {}) {
        int out[2];
        errFile_.open();
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        out_ = out[0];
        const int err = ::dup(errFile_.handle());
        pid_ = StartProgram(std::move(args), std::move(environment), out[1], err, inChild);
    }
    ~Child() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return pid_; }

    // Reads standard output until it holds `text` or `timeoutMs` passes.
    bool WaitForOutput(const std::string& text, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out_text_.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 || !ReadSome(static_cast<int>(left))) return false;
        }
        return true;
    }

    // Waits for the end; false when it has not ended within `timeoutMs`.
    bool Wait(int timeoutMs) {
        for (int waited = 0; !ended_; waited += 20) {
            if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
                ended_ = true;
                break;
            }
            if (waited > timeoutMs) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        while (ReadSome(0)) {
        }
        return true;
    }
    int Status() const { return status_; }
    const std::string& Output() const { return out_text_; }
    std::string Errors() {
        errFile_.seek(0);
        return errFile_.readAll().toStdString();
    }

  private:
    bool ReadSome(int waitMs) {
        pollfd pfd{out_, POLLIN, 0};
        if (::poll(&pfd, 1, waitMs) <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) return false;
        out_text_.append(buffer, static_cast<size_t>(n));
        return true;
    }

    QTemporaryFile errFile_;
    int out_ = -1;
    pid_t pid_ = -1;
    int status_ = 0;
    bool ended_ = false;
    std::string out_text_;
};

} // namespace childtest

#endif
