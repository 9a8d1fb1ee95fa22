// The load-cell request frames and the decoding of their replies.
#ifndef PORTLINE_LOADCELL_H
#define PORTLINE_LOADCELL_H

#include "portline.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace portline {

enum class CellCommand { Read, SetAddress };

constexpr size_t kCellReplyMax = 12;
constexpr int32_t kWriteAccepted = PORTLINE_CELL_WRITE_ACCEPTED;
constexpr int32_t kNoValue = PORTLINE_CELL_NO_VALUE;

// 02, three command letters, (low byte of the argument + 0x40), sum of bytes 1 to 4, 0D.
std::array<uint8_t, 7> BuildCellFrame(CellCommand command, int32_t argument);

// The decodes of the bytes read after a request; a byte at or beyond `count` reads as 0.
int32_t DecodeCellAddress(const uint8_t* bytes, size_t count); // QuillReadLoadCell
int32_t DecodeCellValue(const uint8_t* bytes, size_t count);   // QuillReadLoadCellValue
int32_t DecodeWriteReply(const uint8_t* bytes, size_t count);  // QuillWriteLoadCell

} // namespace portline

#endif
