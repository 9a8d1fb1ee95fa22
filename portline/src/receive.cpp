#include "receive.h"

#include "library.h"
#include "state.h"
#include "threads.h"

#include <algorithm>
#include <cstring>

namespace portline {

void ReaderPass() {
    SerialPort* port = Lib.PortHandle;
    std::lock_guard io(Lib.PortIoLock);
    // A command may have withdrawn the request while this pass paused; its reply is not
    // ours to take.
    if (!Lib.ReadRequest.load()) return;
    uint32_t n;
    uint64_t serial;
    {
        std::lock_guard count(Lib.CountLock);
        n = Lib.PendingCount.load();
        serial = Lib.CountSerial;
    }
    if (n == 0) {
        // Nothing published: the request stands. An untaken text cannot exist while it
        // does, so there is nothing to clear.
        Lib.ReadBuffer[0] = 0;
        return;
    }
    size_t want = std::min<size_t>(n, kMaxRead);
    size_t got = port ? port->Read(Lib.ReadBuffer, want) : 0;
    {
        std::lock_guard hand(Lib.HandOverLock);
        // A zero byte ends the text; what follows it in this read is not handed on.
        size_t length = strnlen(reinterpret_cast<const char*>(Lib.ReadBuffer), got);
        std::memcpy(Lib.StagedText, Lib.ReadBuffer, length);
        Lib.StagedText[length] = 0;
        ++Lib.Published;
        Lib.ReadRequest.store(false);
    }
    std::lock_guard count(Lib.CountLock);
    // A count published while this pass read is newer than the one it read: it stays, or
    // the bytes it counts could wait for an arrival that never comes.
    if (Lib.CountSerial != serial) return;
    // A count above what one read carries leaves the rest counted for the next request.
    Lib.PendingCount.store(n > want && got == want ? n - static_cast<uint32_t>(want) : 0);
}

void WatcherPass() {
    SerialPort* port = Lib.PortHandle;
    if (!port) return;
    uint32_t inQueue = 0;
    uint32_t events = port->WaitEvent(inQueue);
    // A lone byte is never published: it waits until more bytes follow.
    if ((events & EvRxChar) && inQueue > 1) {
        std::lock_guard lock(Lib.CountLock);
        Lib.PendingCount.store(inQueue);
        ++Lib.CountSerial;
    }
}

const char* ReadAllPort() {
    {
        // Take the text published since the last call, and ask for the next, at once:
        // a text published during the pause below belongs to the next call.
        std::lock_guard hand(Lib.HandOverLock);
        if (Lib.Taken != Lib.Published) {
            std::memcpy(Lib.ReceivedText, Lib.StagedText, kTextSize);
            Lib.Taken = Lib.Published;
        } else {
            Lib.ReceivedText[0] = 0;
        }
        Lib.ReadRequest.store(true);
    }
    Sleep(30);
    return Lib.ReceivedText;
}

int32_t ClearPort() {
    Sleep(200);
    Lib.ReplyBuffer[0] = 0;
    Lib.ReplyText[0] = 0;
    SerialPort* port = Lib.PortHandle;
    return port && port->PurgeInput() ? 1 : 0;
}

} // namespace portline
