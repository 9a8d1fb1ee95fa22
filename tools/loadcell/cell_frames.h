// The load-cell frames as loadcell sees them on the wire: the request it sends, and
// the replies it finds in the bytes that came back. The library's exchanges decode a
// single integer and cannot tell an echo, a late reply or two replies from a good
// one; these functions look at every byte.
#ifndef LOADCELL_CELL_FRAMES_H
#define LOADCELL_CELL_FRAMES_H

#include <cstdint>
#include <string>
#include <vector>

namespace loadcell {

enum class Request { Read, SetAddress };

// 02, R D S or S N M, argument + 0x40, the sum of bytes 1 to 4, 0D. For the arguments
// loadcell sends (0 to 191) no byte is zero, so the frame travels as a text.
std::string RequestFrame(Request request, int argument);

// One whole reply frame found in the bytes.
struct ReplyFrame {
    enum class Kind { Reading, Accepted, AddressForm } kind = Kind::Reading;
    int address = 0;  // Reading and AddressForm: the address the reply names
    int32_t code = 0; // Reading: the A/D code, 0 to 1048575
};

// What came back for one request.
struct Heard {
    bool echo = false;              // the bytes began with the request itself
    std::vector<ReplyFrame> frames; // whole frames, in the order they came
    std::string rest;               // bytes that form no whole frame (garbled or cut short)
    size_t bytes = 0;               // all bytes heard, the echo included

    bool Nothing() const { return bytes == 0; }
    bool OnlyEcho() const { return echo && frames.empty() && rest.empty(); }
    bool Garbled() const { return !rest.empty(); }
};

// Reads `bytes`, the text that came back after `request` was sent. A reply frame is
// whole when every byte is there: a reading is 02, address + 0x40, a status byte, five
// digits 0x30 to 0x3F (least significant first), the sum of the bytes after the start
// byte, 0D; an accepted write is 02 4F 4B ("OK") with its sum and 0D; the address form
// is FF 4E, address + 0x40, its sum and 0D. A sum of zero ends the text that the
// library hands back, so a frame that stops right where its zero sum would be counts
// as whole.
Heard Hear(const std::string& request, const std::string& bytes);

} // namespace loadcell

#endif
