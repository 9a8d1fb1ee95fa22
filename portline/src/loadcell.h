// The load-cell request frames, the decoding of their replies, and what the results mean.
#ifndef PORTLINE_LOADCELL_H
#define PORTLINE_LOADCELL_H

#include "exchange.h"
#include "portline.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace portline {

enum class CellCommand { Read, SetAddress };

// The frame's fixed bytes: the start and end of a request, the start of a reply.
constexpr uint8_t kCellStart = 0x02;
constexpr uint8_t kCellEnd = 0x0D;
// A write reply that begins with this carries the cell's address instead of "OK".
constexpr uint8_t kCellAddressForm = 0xFF;
// An address travels as its low byte plus this offset, in requests and replies alike.
constexpr uint8_t kCellAddressOffset = 0x40;
// A digit of the A/D code travels as this plus 0 to 15; five of them, least significant first.
constexpr uint8_t kCellDigitOffset = 0x30;
constexpr size_t kCellValueDigits = 5;

constexpr size_t kCellFrameSize = 7;
// At most this many reply bytes are read, whatever else waits.
constexpr size_t kCellReplyMax = 12;

// The results that are no address or code, as the three exports return them.
// Nothing came (all three), or QuillWriteLoadCell's reply began with neither form it knows.
constexpr int32_t kCellNoReply = 0;
// QuillReadLoadCell: bytes came, but none of them was a start byte.
constexpr int32_t kCellNoStartByte = -1;
// QuillReadLoadCell: the reply ended with its start byte, so it carried no address.
constexpr int32_t kCellNoAddress = PORTLINE_CELL_NO_ADDRESS;
// QuillReadLoadCellValue: no reply with a start byte came.
constexpr int32_t kCellNoValue = PORTLINE_CELL_NO_VALUE;
// QuillWriteLoadCell: the cell accepted the new address (the ASCII codes of "OK").
constexpr int32_t kCellWriteAccepted = PORTLINE_CELL_WRITE_ACCEPTED;

// 02, three command letters, (low byte of the argument + 0x40), sum of bytes 1 to 4, 0D.
std::array<uint8_t, kCellFrameSize> BuildCellFrame(CellCommand command, int32_t argument);

// The decodes of the bytes read after a request; a byte beyond the reply reads as 0.
int32_t DecodeCellAddress(Reply reply); // QuillReadLoadCell
int32_t DecodeCellValue(Reply reply);   // QuillReadLoadCellValue
int32_t DecodeWriteReply(Reply reply);  // QuillWriteLoadCell

} // namespace portline

#endif
