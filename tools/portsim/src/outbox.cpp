#include "outbox.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <unistd.h>

namespace portsim {

Clock::duration ByteTime(int baud) {
    if (baud <= 0) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(10'000'000'000LL / baud));
}

void Outbox::Add(std::span<const uint8_t> bytes, Clock::time_point earliest, Source source) {
    // Bytes that may start before some already queued (a prompt answer after a
    // late one) go in ahead of them; bytes starting at the same time keep their
    // order. A queued byte starts one byte time before it is due.
    auto at = items_.end();
    while (at != items_.begin() && std::prev(at)->due - byteTime_ > earliest)
        --at;
    Clock::time_point lineFree = at == items_.end()     ? lastDue_
                                 : at == items_.begin() ? earliest
                                                        : std::prev(at)->due;
    for (uint8_t byte : bytes) {
        // A paced byte starts once the one before has crossed the line, and is
        // delivered when it has crossed it too.
        Clock::time_point due = std::max(earliest, lineFree) + byteTime_;
        at = std::next(items_.insert(at, {due, byte, source}));
        lineFree = due;
    }
    lastDue_ = std::max(lastDue_, lineFree);
}

void Outbox::DropStream() {
    std::erase_if(items_, [](const Item& item) { return item.source == Source::Stream; });
    if (items_.empty())
        lastDue_ = std::min(lastDue_, Clock::now());
    else
        lastDue_ = items_.back().due;
}

std::optional<Clock::time_point> Outbox::NextDue() const {
    if (items_.empty()) return std::nullopt;
    return items_.front().due;
}

Outbox::Flush Outbox::WriteDue(int fd, Clock::time_point now, Bytes* answers) {
    uint8_t chunk[1024];
    while (!items_.empty() && items_.front().due <= now) {
        size_t n = 0;
        while (n < sizeof chunk && n < items_.size() && items_[n].due <= now)
            chunk[n] = items_[n].byte, ++n;
        ssize_t written = ::write(fd, chunk, n);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN ? Flush::Blocked : Flush::Failed;
        }
        if (answers)
            for (ssize_t k = 0; k < written; ++k)
                if (items_[static_cast<size_t>(k)].source == Source::Answer)
                    answers->push_back(items_[static_cast<size_t>(k)].byte);
        items_.erase(items_.begin(), items_.begin() + written);
        if (static_cast<size_t>(written) < n) return Flush::Blocked;
    }
    return Flush::Done;
}

} // namespace portsim
