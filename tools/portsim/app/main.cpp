// portsim: the virtual load-cell bench as a program.
#include "background.h"
#include "exit_status.h"
#include "link_claim.h"
#include "options.h"
#include "pid_file.h"
#include "portsim/bench.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

using namespace portsim;

// After the ready line nothing more goes to stdout: it is let go, so that a
// reader waiting for its end (a pipe, a command substitution) is not held.
bool PrintReadyLine(const std::string& line) {
    bool written = std::fprintf(stdout, "%s\n", line.c_str()) > 0 && std::fflush(stdout) == 0;
    int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    return written;
}

// Waits for a stop signal, or for `seconds` (0: for ever). The signal, or 0.
int WaitForStop(const sigset_t& signals, double seconds) {
    timespec deadline{};
    if (seconds > 0) {
        ::clock_gettime(CLOCK_MONOTONIC, &deadline);
        double whole = std::floor(seconds);
        deadline.tv_sec += static_cast<time_t>(whole);
        deadline.tv_nsec += static_cast<long>((seconds - whole) * 1e9);
        if (deadline.tv_nsec >= 1'000'000'000)
            deadline.tv_sec += 1, deadline.tv_nsec -= 1'000'000'000;
    }
    for (;;) {
        if (seconds <= 0) {
            int signal = 0;
            if (::sigwait(&signals, &signal) == 0) return signal;
            continue;
        }
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        long long left =
            (deadline.tv_sec - now.tv_sec) * 1'000'000'000LL + (deadline.tv_nsec - now.tv_nsec);
        if (left <= 0) return 0;
        timespec wait{static_cast<time_t>(left / 1'000'000'000),
                      static_cast<long>(left % 1'000'000'000)};
        int signal = ::sigtimedwait(&signals, nullptr, &wait);
        if (signal > 0) return signal;
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
    if (options.background) {
        background.Ready(bench.DevicePath());
    } else {
        if (!PrintReadyLine(bench.DevicePath())) {
            std::string why = std::strerror(errno);
            return fail(finish(status::kOutput), "writing the device path: " + why);
        }
        std::cerr << "portsim: running; stop with Ctrl+C\n";
    }

    int signal = WaitForStop(stopSignals, options.hangupAfterS);
    if (signal == 0) {
        finish(0);
        std::cerr << "portsim: hung up after " << options.hangupAfterS << " s\n";
        return status::kDone;
    }
    return finish(status::kSignalBase + signal);
}
