// The three load-cell exchanges: request frame, fixed wait, at most 12 reply bytes.
#include "loadcell.h"

#include "exchange.h"
#include "hand_over.h"
#include "library.h"
#include "state.h"

namespace portline {
namespace {

uint8_t ByteAt(const uint8_t* bytes, size_t count, size_t i) {
    return i < count ? bytes[i] : 0;
}

// Sends the frame and leaves the reply bytes in ReplyBuffer; returns how many came.
size_t CellExchange(CellCommand command, int32_t argument, int waitMs) {
    Lib.LoadCellArgument = argument;
    const std::array<uint8_t, 7> frame = BuildCellFrame(command, argument);
    // The frame is copied as the write starts, so it may go out of scope. No purge follows
    // the reply read.
    return Exchange(frame.data(), frame.size(), waitMs, kCellReplyMax, AfterReply::KeepInput);
}

int32_t Finish(int32_t result) {
    Lib.LoadCellResult = result;
    // Bytes counted during the exchange are not to be fetched again.
    Reception.ForgetCount();
    return result;
}

} // namespace

std::array<uint8_t, 7> BuildCellFrame(CellCommand command, int32_t argument) {
    std::array<uint8_t, 7> f{0x02, 0, 0, 0, 0, 0, 0x0D};
    if (command == CellCommand::Read)
        f[1] = 'R', f[2] = 'D', f[3] = 'S';
    else
        f[1] = 'S', f[2] = 'N', f[3] = 'M';
    f[4] = static_cast<uint8_t>((argument & 0xFF) + 0x40);
    f[5] = static_cast<uint8_t>(f[1] + f[2] + f[3] + f[4]);
    return f;
}

int32_t DecodeCellAddress(const uint8_t* bytes, size_t count) {
    if (count == 0) return 0;
    for (size_t i = 0; i < count; ++i)
        if (bytes[i] == 0x02) return ByteAt(bytes, count, i + 1) - 64;
    return -1;
}

int32_t DecodeCellValue(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0x02) continue;
        // Five digit characters, least significant first, each 0x30 plus 0 to 15.
        int32_t value = 0, weight = 1;
        for (size_t k = 0; k < 5; ++k, weight *= 16)
            value += (ByteAt(bytes, count, i + 3 + k) - 0x30) * weight;
        return value;
    }
    return kNoValue;
}

int32_t DecodeWriteReply(const uint8_t* bytes, size_t count) {
    if (count == 0) return 0;
    if (bytes[0] == 0xFF) return ByteAt(bytes, count, 2) - 64;
    if (bytes[0] == 0x02) return kWriteAccepted;
    return 0;
}

int32_t QuillReadLoadCell(int32_t address) {
    const size_t got = CellExchange(CellCommand::Read, address, 50);
    return Finish(DecodeCellAddress(Lib.ReplyBuffer, got));
}

int32_t QuillReadLoadCellValue(int32_t address) {
    const size_t got = CellExchange(CellCommand::Read, address, 50);
    return Finish(DecodeCellValue(Lib.ReplyBuffer, got));
}

int32_t QuillWriteLoadCell(int32_t newAddress) {
    const size_t got = CellExchange(CellCommand::SetAddress, newAddress, 80);
    return Finish(DecodeWriteReply(Lib.ReplyBuffer, got));
}

} // namespace portline
