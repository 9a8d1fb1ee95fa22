// The library-wide state: one set per process, zero at load, never destroyed (the
// reader threads may still run while the process exits).
#ifndef PORTLINE_STATE_H
#define PORTLINE_STATE_H

#include "serial.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace portline {

class TFormThread;
class AXThread;

constexpr size_t kTextSize = 256;   // ReadBuffer, ReceivedText, SendBuffer
constexpr size_t kReplySize = 1000; // ReplyBuffer, ReplyText
constexpr size_t kMaxRead = kTextSize - 1;

struct State {
    SerialPort* PortHandle = nullptr; // the open port, null when none is held

    // Guards the publication and the taking of PendingCount. Never held across a
    // platform call.
    std::mutex CountLock;
    // Bytes the input queue held when AXThread last published; 0: nothing published.
    std::atomic<uint32_t> PendingCount{0};
    // Counts AXThread's publications (under CountLock), so that the reader clears only
    // the count it read and never a newer one.
    uint64_t CountSerial = 0;
    // The request flag: true is "all" (the caller wants the next text), false is empty.
    std::atomic<bool> ReadRequest{false};

    // Held by the reader around its read and by the commands from their first purge
    // through their reply read, so that no reader pass takes a command's reply.
    std::mutex PortIoLock;

    // The hand-over of received text. The reader publishes a text here and withdraws
    // the request in one critical section; ReadAllPort takes it and asks for the next
    // in another. So at most one text is ever untaken and each is handed out once.
    std::mutex HandOverLock;
    char StagedText[kTextSize] = {};
    uint64_t Published = 0; // texts published since load
    uint64_t Taken = 0;     // texts taken by ReadAllPort since load

    uint8_t ReadBuffer[kTextSize] = {}; // the reader's last read (reader thread only)
    char ReceivedText[kTextSize] = {};  // what ReadAllPort hands out (caller only)
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

// Forgets any untaken text (a new port starts with nothing to hand out).
void ResetHandOver();

} // namespace portline

#endif
