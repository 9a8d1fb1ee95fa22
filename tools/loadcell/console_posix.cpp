#include "console.h"

#include <csignal>
#include <ctime>

#include <unistd.h>

namespace loadcell {
namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void AskToStop(int) {
    g_stop = 1;
}

} // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = AskToStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a pause in progress ends at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
    return g_stop != 0;
}

bool PauseUnlessStopped(int milliseconds) {
    // In slices: a signal that comes just before a slice starts waits at most one slice.
    constexpr int kSliceMs = 50;
    for (int left = milliseconds; left > 0 && !g_stop; left -= kSliceMs) {
        const int slice = left < kSliceMs ? left : kSliceMs;
        timespec pause{0, slice * 1000000L};
        nanosleep(&pause, nullptr);
    }
    return !g_stop;
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

} // namespace loadcell
