#include "receive.h"

#include "hand_over.h"
#include "library.h"
#include "pause.h"
#include "state.h"

#include <chrono>

namespace portline {

void TFormThread::Execute() {
    {
        // Whatever arrived before the reader started is not handed on. A command made
        // while the reader was still starting keeps its exchange whole: the purge waits.
        std::lock_guard io(Lib.PortIoLock);
        if (SerialPort* port = Lib.PortHandle) port->PurgeAll();
    }
    MarkPurged();
    while (!Terminated()) {
        Sleep(kReaderIdle);
        if (!Reception.Requested()) continue;
        Sleep(kReaderSettle);
        ReaderPass();
    }
}

void TFormThread::MarkPurged() {
    {
        std::lock_guard lock(purgeLock_);
        purged_ = true;
    }
    purgedSignal_.notify_all();
}

void TFormThread::WaitUntilPurged() {
    std::unique_lock lock(purgeLock_);
    // Bounded, so that a thread the system never schedules cannot hang the open.
    purgedSignal_.wait_for(lock, std::chrono::seconds(2), [this] { return purged_; });
}

void AXThread::Execute() {
    if (SerialPort* port = Lib.PortHandle) port->WakeEventWait();
    while (!Terminated()) {
        Sleep(kWatcher);
        WatcherPass();
    }
}

void ReaderPass() {
    SerialPort* port = Lib.PortHandle;
    std::lock_guard io(Lib.PortIoLock);
    // A command may have withdrawn the request while this pass paused; its reply is not
    // ours to take.
    if (!Reception.Requested()) return;
    const CountSeen seen = Reception.SeeCount();
    if (seen.bytes == 0) {
        Reception.ClearLastRead();
        return;
    }
    const size_t got = port ? port->Read(Reception.ReadArea(), seen.Wanted()) : 0;
    Reception.PublishRead(seen, got);
}

void WatcherPass() {
    SerialPort* port = Lib.PortHandle;
    if (!port) return;
    uint32_t inQueue = 0;
    uint32_t events = port->WaitEvent(inQueue);
    // A lone byte is never published: it waits until more bytes follow.
    if ((events & EvRxChar) && inQueue > 1) Reception.PublishCount(inQueue);
}

const char* ReadAllPort() {
    // A text published during the pause below belongs to the next call.
    const char* text = Reception.TakeTextAndAsk();
    Sleep(kReadAllPort);
    return text;
}

int32_t ClearPort() {
    Sleep(kClearPort);
    Lib.ReplyText[0] = 0;
    SerialPort* port = Lib.PortHandle;
    return port && port->PurgeInput() ? 1 : 0;
}

} // namespace portline
