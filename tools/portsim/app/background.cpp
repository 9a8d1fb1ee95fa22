#include "background.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

#include "exit_status.h"
#include "pid_file.h"

namespace portsim {

namespace {

[[noreturn]] void WaitForChild(int ready, pid_t child) {
    std::string line;
    char buf[512];
    ssize_t n;
    while ((n = ::read(ready, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        line.append(buf, static_cast<size_t>(n));
        if (line.find('\n') != std::string::npos) break;
    }
    if (size_t end = line.find('\n'); end != std::string::npos) {
        std::string_view text(line.data(), end + 1);
        bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                       std::fflush(stdout) == 0;
        if (!written) {
            // Nobody learns where the device is: a player left running would be lost.
            std::fprintf(stderr, "portsim: writing the device path: %s\n", std::strerror(errno));
            ::kill(child, SIGTERM);
            while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
            std::_Exit(status::kOutput);
        }
        std::fprintf(stderr, "portsim: playing in the background as process %d\n",
                     static_cast<int>(child));
        std::_Exit(status::kDone);
    }
    // The child ended before it was ready: it has said why on stderr.
    int how = 0;
    while (::waitpid(child, &how, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(how)) std::_Exit(WEXITSTATUS(how));
    std::_Exit(WIFSIGNALED(how) ? status::kSignalBase + WTERMSIG(how) : status::kSystem);
}

// A session of its own, away from the terminal and the shell's pipes.
void OnItsOwn() {
    ::setsid();
    int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
}

} // namespace

bool Background::Detach(std::string& error) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }
    if (child > 0) {
        ::close(pipeFds[1]);
        WaitForChild(pipeFds[0], child);
    }
    ::close(pipeFds[0]);
    ready_ = pipeFds[1];
    OnItsOwn();
    return true;
}

bool Background::CarryOn(const std::string& pidFile) {
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child < 0) return false;
    if (child > 0) {
        // Written before this process ends, so that whoever waited for it finds the child's id.
        std::string error;
        if (!pidFile.empty() && !WritePidFile(pidFile, error, child))
            std::fprintf(stderr, "portsim: %s\n", error.c_str());
        std::_Exit(status::kDone);
    }
    OnItsOwn();
    return true;
}

void Background::Ready(const std::string& line) {
    if (ready_ < 0) return;
    std::string text = line + "\n";
    if (::write(ready_, text.data(), text.size()) < 0) {
        // The parent is gone: nobody waits for the line.
    }
    ::close(ready_);
    ready_ = -1;
}

} // namespace portsim
