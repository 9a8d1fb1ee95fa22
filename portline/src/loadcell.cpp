// The three load-cell exchanges: request frame, fixed wait, at most 12 reply bytes.
#include "loadcell.h"

#include "library.h"

namespace portline {
namespace {

uint8_t ByteAt(Reply reply, size_t i) {
    return i < reply.size() ? reply[i] : 0;
}

// The address a reply byte carries.
int32_t AddressAt(Reply reply, size_t i) {
    return ByteAt(reply, i) - kCellAddressOffset;
}

// Sends the frame and hands back the reply. The frame is copied as the write starts, so it
// may go out of scope. No purge follows the reply read.
Reply CellExchange(CellCommand command, int32_t argument, milliseconds window) {
    const std::array<uint8_t, kCellFrameSize> frame = BuildCellFrame(command, argument);
    return Exchange(frame, window, kCellReplyMax, AfterReply::KeepInput);
}

} // namespace

std::array<uint8_t, kCellFrameSize> BuildCellFrame(CellCommand command, int32_t argument) {
    std::array<uint8_t, kCellFrameSize> f{kCellStart, 0, 0, 0, 0, 0, kCellEnd};
    if (command == CellCommand::Read)
        f[1] = 'R', f[2] = 'D', f[3] = 'S';
    else
        f[1] = 'S', f[2] = 'N', f[3] = 'M';
    f[4] = static_cast<uint8_t>((argument & 0xFF) + kCellAddressOffset);
    f[5] = static_cast<uint8_t>(f[1] + f[2] + f[3] + f[4]);
    return f;
}

int32_t DecodeCellAddress(Reply reply) {
    if (reply.empty()) return kCellNoReply;
    for (size_t i = 0; i < reply.size(); ++i)
        if (reply[i] == kCellStart) return AddressAt(reply, i + 1);
    return kCellNoStartByte;
}

int32_t DecodeCellValue(Reply reply) {
    for (size_t i = 0; i < reply.size(); ++i) {
        if (reply[i] != kCellStart) continue;
        // The digits follow the start byte and the address.
        int32_t value = 0, weight = 1;
        for (size_t k = 0; k < kCellValueDigits; ++k, weight *= 16)
            value += (ByteAt(reply, i + 3 + k) - kCellDigitOffset) * weight;
        return value;
    }
    return kCellNoValue;
}

int32_t DecodeWriteReply(Reply reply) {
    if (reply.empty()) return kCellNoReply;
    if (reply[0] == kCellAddressForm) return AddressAt(reply, 2);
    if (reply[0] == kCellStart) return kCellWriteAccepted;
    return kCellNoReply;
}

int32_t QuillReadLoadCell(int32_t address) {
    return DecodeCellAddress(CellExchange(CellCommand::Read, address, kCellReadReply));
}

int32_t QuillReadLoadCellValue(int32_t address) {
    return DecodeCellValue(CellExchange(CellCommand::Read, address, kCellReadReply));
}

int32_t QuillWriteLoadCell(int32_t newAddress) {
    return DecodeWriteReply(CellExchange(CellCommand::SetAddress, newAddress, kCellWriteReply));
}

} // namespace portline
