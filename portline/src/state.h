// The library-wide state: one set per process, zero at load, never destroyed (the
// reader threads may still run while the process exits). The hand-over of received text
// is the receive path's own (hand_over.h), and the exchange keeps its reply bytes itself
// (exchange.h).
#ifndef PORTLINE_STATE_H
#define PORTLINE_STATE_H

#include "serial.h"
#include "text_sizes.h"

#include <cstdint>
#include <mutex>

namespace portline {

class TFormThread;
class AXThread;

struct State {
    // Taken by every export for its whole call (exports.cpp); never by a reader thread.
    std::mutex CallLock;

    SerialPort* PortHandle = nullptr; // the open port, null when none is held

    // Held by the reader around its read and by the commands from their first purge
    // through their reply read, so that no reader pass takes a command's reply.
    std::mutex PortIoLock;

    char SendBuffer[kTextSize] = {};
    char ReplyText[kReplySize] = {};

    TFormThread* FormThread = nullptr;
    AXThread* AxThread = nullptr;
};

extern State Lib;

} // namespace portline

#endif
