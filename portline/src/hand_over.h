// The hand-over of received text between the reader threads and the caller: the byte
// count AXThread publishes, the caller's request for the next text, and the text
// TFormThread publishes for ReadAllPort to take. Each operation is one step of one side.
#ifndef PORTLINE_HAND_OVER_H
#define PORTLINE_HAND_OVER_H

#include "text_sizes.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace portline {

// The count a reader pass found published, and which publication it was.
struct CountSeen {
    uint32_t bytes = 0;
    uint64_t serial = 0;

    // What one read takes: the counted bytes, at most what a text carries.
    size_t Wanted() const { return std::min<size_t>(bytes, kMaxRead); }
};

class HandOver {
  public:
    // --- The caller's side: ReadAllPort, the commands and OpenPort.

    // Withdraws the request: the reader leaves the input alone until the next ReadAllPort.
    // A pass that found the request set earlier tests it again under the port-I/O lock.
    void WithdrawRequest() { ReadRequest.store(false); }
    // Forgets the bytes counted so far, so that they are not fetched again: one indivisible
    // store, without CountLock.
    void ForgetCount() { PendingCount.store(0); }
    // Takes the text published since the last call (empty when none) and asks for the next,
    // at once: a text published after this belongs to the next call. The text returned stays
    // as it is until the next call.
    const char* TakeTextAndAsk();
    // Empties the reader's and the caller's buffers and forgets any untaken text (a new port
    // starts with nothing to hand out). The request and the count stay as they are.
    void Reset();

    // --- AXThread's side.

    // Publishes how many bytes the input queue held.
    void PublishCount(uint32_t inQueue);

    // --- TFormThread's side, in the order of one pass.

    bool Requested() const { return ReadRequest.load(); }
    CountSeen SeeCount();
    // Nothing was counted: the request stands and the last read is emptied. An untaken
    // text cannot exist while the request stands, so there is no text to clear.
    void ClearLastRead() { ReadBuffer[0] = 0; }
    // Where the pass reads the port's bytes into (at most seen.Wanted() of them).
    uint8_t* ReadArea() { return ReadBuffer; }
    // Publishes the `got` bytes read for `seen` as the next text, withdraws the request in
    // the same critical section, and settles the count.
    void PublishRead(CountSeen seen, size_t got);

    // Texts published since load.
    uint64_t PublishedTexts();

  private:
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

    // The reader publishes a text here and withdraws the request in one critical section;
    // ReadAllPort takes it and asks for the next in another. So at most one text is ever
    // untaken and each is handed out once.
    std::mutex HandOverLock;
    char StagedText[kTextSize] = {};
    uint64_t Published = 0; // texts published since load
    uint64_t Taken = 0;     // texts taken by ReadAllPort since load

    uint8_t ReadBuffer[kTextSize] = {}; // the reader's last read (reader thread only)
    char ReceivedText[kTextSize] = {};  // what ReadAllPort hands out (caller only)
};

// The one hand-over of the process (hand_over.cpp), a library-wide object (library_object.h).
extern HandOver Reception;

} // namespace portline

#endif
