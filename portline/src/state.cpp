#include "state.h"

#include "hand_over.h"

#include <type_traits>

namespace portline {

// The library-wide objects are defined together, so that one rule covers how they come to
// be and that they are never destroyed.
#if defined(_WIN32)
// The mingw-w64 mutex is made at run time: as the DLL loads, before any export can run. At
// process exit Windows ends the other threads before the DLL's destructors run.
State Lib;
HandOver Reception;
#else
// Threads that were never stopped may still use the state while static destructors run.
static_assert(std::is_trivially_destructible_v<State>);
static_assert(std::is_trivially_destructible_v<HandOver>);

constinit State Lib;
constinit HandOver Reception;
#endif

void ThreadStartedOrEnded() {
    if (SerialPort* port = Lib.PortHandle) port->SetEventMask();
}

} // namespace portline
