// Load-cell frames as they travel on the line, and the parser that finds them.
#ifndef PORTSIM_FRAMES_H
#define PORTSIM_FRAMES_H

#include "portsim/bench.h"

#include <optional>

namespace portsim {

inline constexpr uint8_t kStart = 0x02;
inline constexpr uint8_t kEnd = 0x0D;
inline constexpr uint8_t kAddressOffset = 0x40;
inline constexpr size_t kFrameSize = 7;

// A well-formed request: three command letters and the address byte.
struct Frame {
    uint8_t letters[3] = {};
    uint8_t addressByte = 0;
    uint8_t bytes[kFrameSize] = {}; // the frame as it came

    bool IsRead() const { return Is('R', 'D', 'S'); }
    bool IsSetAddress() const { return Is('S', 'N', 'M'); }
    // The address the byte names: (byte - 0x40) modulo 256.
    int Address() const { return static_cast<uint8_t>(addressByte - kAddressOffset); }

  private:
    bool Is(char a, char b, char c) const {
        return letters[0] == a && letters[1] == b && letters[2] == c;
    }
};

// Finds 7-byte frames (02, three letters, address, checksum, 0D) in a byte
// stream. Bytes that cannot start or continue a valid frame are dropped, so a
// frame after garbage or after a frame cut short is still found.
class FrameParser {
  public:
    // Feeds one byte; returns the frame this byte completes, if any.
    std::optional<Frame> Push(uint8_t byte);
    void Reset() { size_ = 0; }

  private:
    bool PrefixValid() const;
    void DropFirst();

    uint8_t buf_[kFrameSize] = {};
    size_t size_ = 0;
};

// Sum of the bytes modulo 256: the checksum over letters and address.
uint8_t Checksum(const uint8_t* bytes, size_t count);

} // namespace portsim

#endif
