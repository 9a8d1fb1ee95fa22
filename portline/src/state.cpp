#include "state.h"

#include <type_traits>

namespace portline {

#if defined(_WIN32)
// The mingw-w64 mutex is made at run time: as the DLL loads, before any export can run. At
// process exit Windows ends the other threads before the DLL's destructors run.
State Lib;
#else
// Threads that were never stopped may still use the state while static destructors run.
static_assert(std::is_trivially_destructible_v<State>);

constinit State Lib;
#endif

void ThreadStartedOrEnded() {
    if (SerialPort* port = Lib.PortHandle) port->SetEventMask();
}

void ResetHandOver() {
    std::lock_guard lock(Lib.HandOverLock);
    Lib.StagedText[0] = 0;
    Lib.Taken = Lib.Published;
}

} // namespace portline
