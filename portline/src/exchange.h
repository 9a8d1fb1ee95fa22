// One request/reply exchange on the held port: the sequence WriteSendData and the load-cell
// commands share.
#ifndef PORTLINE_EXCHANGE_H
#define PORTLINE_EXCHANGE_H

#include "pause.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace portline {

// The bytes one exchange read. They stay as they are until the next exchange.
using Reply = std::span<const uint8_t>;

// What the exchange does once the reply is read.
enum class AfterReply {
    // Leave the port's input as it is, and forget the bytes counted while the exchange ran,
    // so that the reader does not fetch them again for the next ReadAllPort.
    KeepInput,
    // Abandon unsent output and discard whatever arrived after the reply read.
    PurgeAll,
};

// Withdraws the read request, then, holding the port-I/O lock from the purge through the
// end: discards waiting input, starts writing `request` (copied, not awaited), pauses
// `window`, reads at most `replyMax` waiting bytes (at most kReplySize - 1) and purges as
// `after` says. Without a port nothing is written or read and the reply is empty.
Reply Exchange(std::span<const uint8_t> request, milliseconds window, size_t replyMax,
               AfterReply after);

} // namespace portline

#endif
