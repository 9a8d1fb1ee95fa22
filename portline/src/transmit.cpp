// Sending a text and collecting the immediate reply; the modem-control lines.
#include "exchange.h"
#include "library.h"
#include "state.h"

#include <cstring>

namespace portline {

const char* WriteSendData(const char* text) {
    std::memset(Lib.ReplyText, 0, sizeof Lib.ReplyText);
    std::memset(Lib.SendBuffer, 0, sizeof Lib.SendBuffer);
    // SendBuffer holds 255 bytes and its zero; a longer text is cut there.
    const size_t length = text ? strnlen(text, kMaxRead) : 0;
    if (length) std::memcpy(Lib.SendBuffer, text, length);

    // A reply of at most 255 bytes; the final purge abandons what has not gone out yet and
    // whatever arrived after the reply read.
    const Reply reply = Exchange({reinterpret_cast<const uint8_t*>(Lib.SendBuffer), length},
                                 kSendReply, kMaxRead, AfterReply::PurgeAll);
    std::memcpy(Lib.ReplyText, reply.data(), reply.size());
    Lib.ReplyText[reply.size()] = 0;
    return Lib.ReplyText;
}

int32_t SetDTR(int32_t flag) {
    if (Lib.PortHandle) Lib.PortHandle->SetModemLine(ModemLine::Dtr, IsOn(flag));
    return 1;
}

int32_t SetRTS(int32_t flag) {
    if (Lib.PortHandle) Lib.PortHandle->SetModemLine(ModemLine::Rts, IsOn(flag));
    return 1;
}

} // namespace portline
