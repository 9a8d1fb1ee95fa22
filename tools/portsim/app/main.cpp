// portsim: the virtual load-cell bench as a program.
#include "background.h"
#include "exit_status.h"
#include "link_claim.h"
#include "options.h"
#include "pid_file.h"
#include "portsim/bench.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace portsim;

// After the ready line nothing more goes to stdout. A file or a terminal is let
// go at once; a pipe is kept, to notice when its reader has gone (the reader
// of `portsim | head -n 1`): the shell would wait for portsim's end.
void LetGoOfStdout();

bool PrintReadyLine(const std::string& line, bool keep) {
    bool written = std::fprintf(stdout, "%s\n", line.c_str()) > 0 && std::fflush(stdout) == 0;
    if (!keep) LetGoOfStdout();
    return written;
}

void LetGoOfStdout() {
    int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
}

bool StdoutIsAPipe() {
    struct stat st {};
    return ::fstat(STDOUT_FILENO, &st) == 0 && S_ISFIFO(st.st_mode);
}

constexpr int kReaderGone = -1;

// Waits for a stop signal (its number), for `seconds` to pass (0; `seconds` 0:
// for ever) or, with `watched`, for the reader of that pipe to go (kReaderGone).
int WaitForStop(int signals, std::chrono::steady_clock::time_point deadline, bool timed,
                bool watched) {
    for (;;) {
        int timeoutMs = -1;
        if (timed) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return 0;
            timeoutMs = static_cast<int>(std::min<long long>(left.count() + 1, 1'000'000));
        }
        // A pipe's writing end reports POLLERR once nobody reads it.
        pollfd fds[2] = {{signals, POLLIN, 0}, {STDOUT_FILENO, 0, 0}};
        if (::poll(fds, watched ? 2 : 1, timeoutMs) < 0 && errno != EINTR) return SIGTERM;
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(signals, &info, sizeof info) == sizeof info)
                return static_cast<int>(info.ssi_signo);
        }
        if (watched && (fds[1].revents & (POLLERR | POLLHUP))) return kReaderGone;
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseOutcome::Help:
        std::cout << UsageText() << std::flush;
        return status::kDone;
    case ParseOutcome::Version:
        std::cout << "portsim (PortBench) " PORTSIM_VERSION "\n" << std::flush;
        return status::kDone;
    case ParseOutcome::Error:
        std::cerr << "portsim: " << error << "\nTry 'portsim --help' for more information.\n";
        return status::kUsage;
    case ParseOutcome::Run:
        break;
    }
    auto fail = [](int code, const std::string& message) {
        std::cerr << "portsim: " << message << "\n";
        return code;
    };

    Background background;
    if (options.background && !background.Detach(error)) return fail(status::kSystem, error);

    // Block the stop signals before the worker starts, so that it inherits the
    // mask and only the wait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    LinkClaim claim;
    if (!options.linkPath.empty()) {
        pid_t holder = 0;
        switch (claim.Claim(options.linkPath, holder, error)) {
        case LinkClaim::Outcome::Claimed:
            break;
        case LinkClaim::Outcome::Held:
            return fail(status::kLinkHeld,
                        options.linkPath + " is held by a running portsim" +
                            (holder > 0 ? " (process " + std::to_string(holder) + ")" : ""));
        case LinkClaim::Outcome::Failed:
            return fail(status::kCantCreate, error);
        }
    }

    Config config = options.config;
    config.keepReceived = 0; // nobody asks the program what it received
    if (options.trace)
        config.trace = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    Bench bench(config);
    if (!bench.Start(options.linkPath)) {
        const std::string& why = bench.Error();
        bool linkError = !options.linkPath.empty() &&
                         (why.rfind(options.linkPath, 0) == 0 || why.rfind("symlink ", 0) == 0);
        return fail(linkError ? status::kCantCreate : status::kSystem, bench.Error());
    }
    if (!options.pidFile.empty() && !WritePidFile(options.pidFile, error)) {
        bench.Stop();
        return fail(status::kCantCreate, error);
    }
    auto finish = [&](int code) {
        bench.Stop();
        if (!options.pidFile.empty()) RemovePidFile(options.pidFile);
        return code;
    };

    if (!options.linkPath.empty())
        std::cerr << "portsim: " << options.linkPath << " -> " << bench.DevicePath() << "\n";
    const bool watchReader = !options.background && StdoutIsAPipe();
    if (options.background) {
        background.Ready(bench.DevicePath());
    } else {
        if (!PrintReadyLine(bench.DevicePath(), watchReader)) {
            std::string why = std::strerror(errno);
            return fail(finish(status::kOutput), "writing the device path: " + why);
        }
        std::cerr << "portsim: running; stop with Ctrl+C\n";
    }

    int signals = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signals < 0) return fail(finish(status::kSystem), "signalfd failed");
    const bool timed = options.hangupAfterS > 0;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(options.hangupAfterS));
    bool watched = watchReader;
    int signal;
    while ((signal = WaitForStop(signals, deadline, timed, watched)) == kReaderGone) {
        // The device path has been read and the reader is gone: end this process,
        // so that the pipeline ends, and play on in a child.
        watched = false;
        bench.Pause();
        bool carried = Background::CarryOn(options.pidFile);
        if (!carried) LetGoOfStdout();
        bench.Resume();
        if (carried)
            std::cerr << "portsim: the device path was read; playing on in the background as "
                         "process "
                      << ::getpid() << "\n";
    }
    if (signal == 0) {
        finish(0);
        std::cerr << "portsim: hung up after " << options.hangupAfterS << " s\n";
        return status::kDone;
    }
    return finish(status::kSignalBase + signal);
}
