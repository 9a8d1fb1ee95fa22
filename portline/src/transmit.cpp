// Sending a text and collecting the immediate reply; the modem-control lines.
#include "library.h"
#include "state.h"
#include "threads.h"

#include <cstring>

namespace portline {

const char* WriteSendData(const char* text) {
    std::memset(Lib.ReplyText, 0, sizeof Lib.ReplyText);
    std::memset(Lib.ReplyBuffer, 0, sizeof Lib.ReplyBuffer);
    std::memset(Lib.SendBuffer, 0, sizeof Lib.SendBuffer);
    // SendBuffer holds 255 bytes and its zero; a longer text is cut there.
    const size_t length = text ? strnlen(text, kMaxRead) : 0;
    if (length) std::memcpy(Lib.SendBuffer, text, length);

    Lib.ReadRequest.store(false);
    SerialPort* port = Lib.PortHandle;
    {
        // From the purge through the reply read no reader pass touches the input, not even
        // one that found the request set before it was withdrawn.
        std::lock_guard io(Lib.PortIoLock);
        if (port) {
            port->PurgeInput();
            port->Write(reinterpret_cast<const uint8_t*>(Lib.SendBuffer), length);
        }
        Sleep(80);
        const size_t got = port ? port->Read(Lib.ReplyBuffer, kMaxRead) : 0;
        std::memcpy(Lib.ReplyText, Lib.ReplyBuffer, got);
        Lib.ReplyText[got] = 0;
        // Abandons what has not gone out yet and whatever arrived after the reply read.
        if (port) port->PurgeAll();
    }
    return Lib.ReplyText;
}

int32_t SetDTR(int32_t flag) {
    if (Lib.PortHandle) Lib.PortHandle->SetModemLine(ModemLine::Dtr, (flag & 0xFF) == 1);
    return 1;
}

int32_t SetRTS(int32_t flag) {
    if (Lib.PortHandle) Lib.PortHandle->SetModemLine(ModemLine::Rts, (flag & 0xFF) == 1);
    return 1;
}

} // namespace portline
