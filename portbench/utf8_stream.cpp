#include "utf8_stream.h"

#include <cstdint>
#include <utility>

namespace {

// The length of the character a lead byte starts, 0 for a byte that starts none.
int SequenceLength(uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The second byte is narrower after some leads: no over-long forms, no
// surrogates, nothing beyond U+10FFFF.
bool ValidSecondByte(uint8_t lead, uint8_t second) {
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return second >= 0x80 && second <= 0xBF;
    }
}

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

qsizetype UnfinishedUtf8Tail(const QByteArray& bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<uint8_t>(bytes[size - back]);
        if (IsContinuation(byte)) continue;
        const int length = SequenceLength(byte);
        if (length <= back) return 0; // a whole character, or no lead byte at all
        if (back >= 2 && !ValidSecondByte(byte, static_cast<uint8_t>(bytes[size - back + 1])))
            return 0;
        return back;
    }
    return 0;
}

QString Utf8Stream::Decode(const QByteArray& bytes) {
    QByteArray all = std::exchange(unfinished_, {}) + bytes;
    const qsizetype tail = UnfinishedUtf8Tail(all);
    unfinished_ = all.right(tail);
    all.chop(tail);
    return QString::fromUtf8(all);
}

QString Utf8Stream::Flush() {
    return QString::fromUtf8(std::exchange(unfinished_, {}));
}
