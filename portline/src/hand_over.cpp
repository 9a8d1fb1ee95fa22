#include "hand_over.h"

#include "library_object.h"

#include <cstring>

namespace portline {

PORTLINE_LIBRARY_OBJECT(HandOver, Reception);

const char* HandOver::TakeTextAndAsk() {
    std::lock_guard hand(HandOverLock);
    if (Taken != Published) {
        std::memcpy(ReceivedText, StagedText, kTextSize);
        Taken = Published;
    } else {
        ReceivedText[0] = 0;
    }
    ReadRequest.store(true);
    return ReceivedText;
}

void HandOver::Reset() {
    std::memset(ReadBuffer, 0, sizeof ReadBuffer);
    std::memset(ReceivedText, 0, sizeof ReceivedText);
    std::lock_guard hand(HandOverLock);
    StagedText[0] = 0;
    Taken = Published;
}

void HandOver::PublishCount(uint32_t inQueue) {
    std::lock_guard count(CountLock);
    PendingCount.store(inQueue);
    ++CountSerial;
}

CountSeen HandOver::SeeCount() {
    std::lock_guard count(CountLock);
    return {PendingCount.load(), CountSerial};
}

void HandOver::PublishRead(CountSeen seen, size_t got) {
    {
        std::lock_guard hand(HandOverLock);
        // A zero byte ends the text; what follows it in this read is not handed on.
        size_t length = strnlen(reinterpret_cast<const char*>(ReadBuffer), got);
        std::memcpy(StagedText, ReadBuffer, length);
        StagedText[length] = 0;
        ++Published;
        ReadRequest.store(false);
    }
    std::lock_guard count(CountLock);
    // A count published while this pass read is newer than the one it read: it stays, or
    // the bytes it counts could wait for an arrival that never comes.
    if (CountSerial != seen.serial) return;
    // A count above what one read carries leaves the rest counted for the next request.
    const size_t want = seen.Wanted();
    PendingCount.store(seen.bytes > want && got == want ? seen.bytes - static_cast<uint32_t>(want)
                                                        : 0);
}

uint64_t HandOver::PublishedTexts() {
    std::lock_guard hand(HandOverLock);
    return Published;
}

} // namespace portline
