#include "state.h"

#include "library_object.h"
#include "threads.h"

namespace portline {

PORTLINE_LIBRARY_OBJECT(State, Lib);

void WakeHeldPortEventWait() {
    if (SerialPort* port = Lib.PortHandle) port->WakeEventWait();
}

} // namespace portline
