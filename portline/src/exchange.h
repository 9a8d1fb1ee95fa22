// One request/reply exchange on the held port: the sequence WriteSendData and the load-cell
// commands share.
#ifndef PORTLINE_EXCHANGE_H
#define PORTLINE_EXCHANGE_H

#include <cstddef>
#include <cstdint>

namespace portline {

// What the exchange does once the reply is read.
enum class AfterReply {
    KeepInput, // leave the port as it is
    PurgeAll,  // abandon unsent output and discard whatever arrived after the reply read
};

// Withdraws the read request, then, holding the port-I/O lock from the purge through the
// end: discards waiting input, starts writing `request` (copied, not awaited), zeroes
// ReplyBuffer, pauses `waitMs`, reads at most `replyMax` waiting bytes into ReplyBuffer and
// ends them with a zero byte, and purges as `after` says. Without a port nothing is written
// or read. Returns how many reply bytes came.
size_t Exchange(const uint8_t* request, size_t length, int waitMs, size_t replyMax,
                AfterReply after);

} // namespace portline

#endif
