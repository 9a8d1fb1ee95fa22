// Bytes waiting to go out towards the port, each with the time it is due.
// One line: bytes leave in order, and with a pace no faster than the baud rate.
#ifndef PORTSIM_OUTBOX_H
#define PORTSIM_OUTBOX_H

#include "portsim/bench.h"

#include <chrono>
#include <deque>
#include <optional>
#include <span>

namespace portsim {

using Clock = std::chrono::steady_clock;

// Time one byte takes on the line at `baud`, 10 bits (8N1); zero for no pace.
Clock::duration ByteTime(int baud);

class Outbox {
  public:
    enum class Source { Answer, Stream };

    void SetPace(int baud) { byteTime_ = ByteTime(baud); }

    // Queues bytes to leave no earlier than `earliest`, after what is queued.
    void Add(std::span<const uint8_t> bytes, Clock::time_point earliest,
             Source source = Source::Answer);
    // Forgets the queued stream bytes (the stream was changed or stopped).
    void DropStream();
    void Clear() { items_.clear(); }

    size_t Size() const { return items_.size(); }
    std::optional<Clock::time_point> NextDue() const;
    // When the last queued byte is due (or when the line was last busy).
    Clock::time_point LastDue() const { return lastDue_; }

    enum class Flush { Done, Blocked, Failed };
    // Writes the bytes due by `now` to `fd` (non-blocking). Blocked: the
    // other side's queue is full, retry later. The answers' bytes written (not
    // the stream's) are added to `answers` when given.
    Flush WriteDue(int fd, Clock::time_point now, Bytes* answers = nullptr);

  private:
    struct Item {
        Clock::time_point due;
        uint8_t byte;
        Source source;
    };
    std::deque<Item> items_;
    Clock::duration byteTime_{};
    Clock::time_point lastDue_{};
};

} // namespace portsim

#endif
