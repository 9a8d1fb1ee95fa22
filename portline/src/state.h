// The library-wide state: one set per process, zero at load, never destroyed (the
// reader threads may still run while the process exits). The hand-over of received text
// is the receive path's own (hand_over.h).
#ifndef PORTLINE_STATE_H
#define PORTLINE_STATE_H

#include "serial.h"

#include <cstdint>
#include <mutex>

namespace portline {

class TFormThread;
class AXThread;

constexpr size_t kTextSize = 256;   // ReadBuffer, ReceivedText, SendBuffer
constexpr size_t kReplySize = 1000; // ReplyBuffer, ReplyText
constexpr size_t kMaxRead = kTextSize - 1;

struct State {
    // Taken by every export for its whole call (exports.cpp); never by a reader thread.
    std::mutex CallLock;

    SerialPort* PortHandle = nullptr; // the open port, null when none is held

    // Held by the reader around its read and by the commands from their first purge
    // through their reply read, so that no reader pass takes a command's reply.
    std::mutex PortIoLock;

    char SendBuffer[kTextSize] = {};
    uint8_t ReplyBuffer[kReplySize] = {};
    char ReplyText[kReplySize] = {};

    TFormThread* FormThread = nullptr;
    AXThread* AxThread = nullptr;

    // The argument and result of the last load-cell exchange.
    int32_t LoadCellArgument = 0;
    int32_t LoadCellResult = 0;
};

extern State Lib;

// Called by every reader thread as it starts and as it ends: sets the held port's event
// mask, which ends a pending event wait (the wake-up ClosePort relies on).
void ThreadStartedOrEnded();

} // namespace portline

#endif
