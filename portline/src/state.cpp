#include "state.h"

#include <type_traits>

namespace portline {

// Threads that were never stopped may still use the state while static destructors run.
static_assert(std::is_trivially_destructible_v<State>);

constinit State Lib;

void ThreadStartedOrEnded() {
    if (SerialPort* port = Lib.PortHandle) port->SetEventMask();
}

void ResetHandOver() {
    std::lock_guard lock(Lib.HandOverLock);
    Lib.StagedText[0] = 0;
    Lib.Taken = Lib.Published;
}

} // namespace portline
