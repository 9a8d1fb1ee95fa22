#include "outbox.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace portsim {

Clock::duration ByteTime(int baud) {
    if (baud <= 0) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(10'000'000'000LL / baud));
}

void Outbox::Add(const Bytes& bytes, Clock::time_point earliest, Source source) {
    for (uint8_t byte : bytes) {
        // A paced byte starts once the one before has crossed the line, and is
        // delivered when it has crossed it too.
        Clock::time_point due = std::max(earliest, lastDue_) + byteTime_;
        items_.push_back({due, byte, source});
        lastDue_ = due;
    }
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

Outbox::Flush Outbox::WriteDue(int fd, Clock::time_point now) {
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
        items_.erase(items_.begin(), items_.begin() + written);
        if (static_cast<size_t>(written) < n) return Flush::Blocked;
    }
    return Flush::Done;
}

} // namespace portsim
