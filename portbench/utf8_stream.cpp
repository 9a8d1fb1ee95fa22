#include "utf8_stream.h"

#include "utf8_sequence.h"

#include <utility>

qsizetype UnfinishedUtf8Tail(const QByteArray& bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<uint8_t>(bytes[size - back]);
        if (IsUtf8Continuation(byte)) continue;
        const int length = Utf8SequenceLength(byte);
        if (length <= back) return 0; // a whole character, or no lead byte at all
        if (back >= 2 && !IsValidUtf8SecondByte(byte, static_cast<uint8_t>(bytes[size - back + 1])))
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
