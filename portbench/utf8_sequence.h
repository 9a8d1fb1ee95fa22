// The one reader of UTF-8 sequences: which bytes start a character, how long it
// is, and whether it is well formed (no over-long form, no surrogate, nothing
// beyond U+10FFFF).
#ifndef PORTBENCH_UTF8_SEQUENCE_H
#define PORTBENCH_UTF8_SEQUENCE_H

#include <QByteArray>

#include <cstdint>

// The length of the character a lead byte starts, 0 for a byte that starts none.
inline int Utf8SequenceLength(uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

inline bool IsUtf8Continuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// The second byte is narrower after some leads: this is where over-long forms,
// surrogates and code points beyond U+10FFFF are refused.
inline bool IsValidUtf8SecondByte(uint8_t lead, uint8_t second) {
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
        return IsUtf8Continuation(second);
    }
}

// The length of the well-formed sequence of two bytes or more at `at`, with its
// code point in `code`; 0 when none starts there.
inline int Utf8Sequence(const QByteArray& bytes, qsizetype at, char32_t& code) {
    const auto lead = static_cast<uint8_t>(bytes[at]);
    const int length = Utf8SequenceLength(lead);
    if (length == 0 || at + length > bytes.size()) return 0;
    if (!IsValidUtf8SecondByte(lead, static_cast<uint8_t>(bytes[at + 1]))) return 0;
    code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(bytes[at + i]);
        if (!IsUtf8Continuation(next)) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

#endif
