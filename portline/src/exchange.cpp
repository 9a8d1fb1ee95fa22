#include "exchange.h"

#include "hand_over.h"
#include "pause.h"
#include "state.h"

#include <cstring>
#include <mutex>

namespace portline {

size_t Exchange(const uint8_t* request, size_t length, int waitMs, size_t replyMax,
                AfterReply after) {
    Reception.WithdrawRequest();
    SerialPort* port = Lib.PortHandle;
    size_t got = 0;
    // From the purge through the reply read no reader pass touches the input, not even one
    // that found the request set before it was withdrawn.
    std::lock_guard io(Lib.PortIoLock);
    if (port) {
        port->PurgeInput();
        port->Write(request, length);
    }
    std::memset(Lib.ReplyBuffer, 0, sizeof Lib.ReplyBuffer);
    Sleep(waitMs);
    if (port) got = port->Read(Lib.ReplyBuffer, replyMax);
    Lib.ReplyBuffer[got] = 0;
    if (port && after == AfterReply::PurgeAll) port->PurgeAll();
    return got;
}

} // namespace portline
