#include "console.h"

#include <csignal>
#include <ctime>

#include <unistd.h>

namespace loadcell {
namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void AskToStop(int signal) {
    if (g_signal == 0) g_signal = signal;
}

// In slices: a signal that comes just before a slice starts waits at most one slice.
constexpr std::chrono::milliseconds kSlice{50};

} // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = AskToStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a pause in progress ends at once
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
    return g_signal != 0;
}

int StopSignal() {
    return g_signal;
}

bool PauseUntil(std::chrono::steady_clock::time_point when) {
    using Clock = std::chrono::steady_clock;
    while (!g_signal) {
        const Clock::time_point now = Clock::now();
        if (now >= when) break;
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(when - now);
        const auto slice = left < kSlice ? left : std::chrono::nanoseconds(kSlice);
        timespec pause{0, static_cast<long>(slice.count())};
        nanosleep(&pause, nullptr);
    }
    return !g_signal;
}

bool PauseUnlessStopped(int milliseconds) {
    return PauseUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

} // namespace loadcell
