// The sizes of the library's static texts, shared by the hand-over and the library state.
#ifndef PORTLINE_TEXT_SIZES_H
#define PORTLINE_TEXT_SIZES_H

#include <cstddef>

namespace portline {

constexpr size_t kTextSize = 256;   // ReadBuffer, ReceivedText, SendBuffer
constexpr size_t kReplySize = 1000; // ReplyBuffer, ReplyText
// What one read or one send takes at most: a text and its closing zero byte.
constexpr size_t kMaxRead = kTextSize - 1;

} // namespace portline

#endif
