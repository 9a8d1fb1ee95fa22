#include "frames.h"

#include <algorithm>
#include <cstring>

namespace portsim {

uint8_t Checksum(const uint8_t* bytes, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

namespace {

Bytes Request(char a, char b, char c, int address) {
    Bytes frame{kStart, static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
                static_cast<uint8_t>((address & 0xFF) + kAddressOffset)};
    frame.push_back(Checksum(frame.data() + 1, 4));
    frame.push_back(kEnd);
    return frame;
}

// Appends the checksum of everything after the first byte, then the end byte.
Bytes Sealed(Bytes reply) {
    reply.push_back(Checksum(reply.data() + 1, reply.size() - 1));
    reply.push_back(kEnd);
    return reply;
}

} // namespace

Bytes ReadFrame(int address) {
    return Request('R', 'D', 'S', address);
}
Bytes SetAddressFrame(int address) {
    return Request('S', 'N', 'M', address);
}

Bytes ReadReply(int address, uint32_t code) {
    // The third byte is a status character ('0': no fault). It is never zero,
    // so the reply also survives as a zero-terminated text.
    Bytes reply{kStart, static_cast<uint8_t>((address & 0xFF) + kAddressOffset), '0'};
    for (int k = 0; k < 5; ++k)
        reply.push_back(static_cast<uint8_t>('0' + ((code >> (4 * k)) & 0xF)));
    return Sealed(std::move(reply));
}

Bytes AcceptReply() {
    return Sealed({kStart, 'O', 'K'});
}

Bytes AddressFormReply(int address) {
    return Sealed({0xFF, 'N', static_cast<uint8_t>((address & 0xFF) + kAddressOffset)});
}

bool FrameParser::PrefixValid() const {
    if (size_ == 0) return true;
    if (buf_[0] != kStart) return false;
    if (size_ > 5 && buf_[5] != Checksum(buf_ + 1, 4)) return false;
    if (size_ > 6 && buf_[6] != kEnd) return false;
    return true;
}

// Drops the first byte and everything up to the next start byte.
void FrameParser::DropFirst() {
    const uint8_t* next = std::find(buf_ + 1, buf_ + size_, kStart);
    size_t keep = static_cast<size_t>(buf_ + size_ - next);
    std::memmove(buf_, next, keep);
    size_ = keep;
}

std::optional<Frame> FrameParser::Push(uint8_t byte) {
    if (size_ == 0 && byte != kStart) return std::nullopt;
    buf_[size_++] = byte;
    while (!PrefixValid())
        DropFirst();
    if (size_ < kFrameSize) return std::nullopt;
    Frame frame;
    std::memcpy(frame.letters, buf_ + 1, 3);
    frame.addressByte = buf_[4];
    std::memcpy(frame.bytes, buf_, kFrameSize);
    size_ = 0;
    return frame;
}

} // namespace portsim
