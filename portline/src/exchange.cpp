#include "exchange.h"

#include "hand_over.h"
#include "state.h"

#include <cstring>
#include <mutex>

namespace portline {
namespace {

// The exchange's own reply buffer: static, so that no exchange allocates, and zero-ended
// after every read.
uint8_t ReplyBuffer[kReplySize] = {};

} // namespace

Reply Exchange(std::span<const uint8_t> request, milliseconds window, size_t replyMax,
               AfterReply after) {
    Reception.WithdrawRequest();
    SerialPort* port = Lib.PortHandle;
    size_t got = 0;
    {
        // From the purge through the reply read no reader pass touches the input, not even
        // one that found the request set before it was withdrawn.
        std::lock_guard io(Lib.PortIoLock);
        if (port) {
            port->PurgeInput();
            port->Write(request.data(), request.size());
        }
        std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
        Sleep(window);
        if (port) got = port->Read(ReplyBuffer, replyMax);
        ReplyBuffer[got] = 0;
        if (port && after == AfterReply::PurgeAll) port->PurgeAll();
    }
    // No reader pass can run in between: the request stays withdrawn while the call lasts.
    if (after == AfterReply::KeepInput) Reception.ForgetCount();
    return {ReplyBuffer, got};
}

} // namespace portline
