// What the load-cell panel makes of the results of the library's load-cell
// calls. The library's own sentinels are in portline.h (PORTLINE_CELL_...);
// these are the window's readings of the rest.
#ifndef PORTBENCH_LOADCELL_RESULTS_H
#define PORTBENCH_LOADCELL_RESULTS_H

#include <cstdint>

namespace CellResults {

// The address write's scan probes addresses 1 to 12, the addresses the panel's
// address box lists; its progress bar shows the address being probed.
inline constexpr int FirstProbedAddress = 1;
inline constexpr int LastProbedAddress = 12;

// QuillReadLoadCell and QuillWriteLoadCell give 0 when no reply came.
inline constexpr int32_t NoReply = 0;

// A probe's answer from 1 to 16 counts as a cell on the line; any other
// (no reply, a reply without an address, a garbled one) counts as none.
inline constexpr int32_t FirstCountedAddress = 1;
inline constexpr int32_t LastCountedAddress = 16;
inline constexpr bool CountsAsCell(int32_t probed) {
    return probed >= FirstCountedAddress && probed <= LastCountedAddress;
}

// An address write answered with an address from 1 to 254 was written: the
// panel reads that address back to show it.
inline constexpr int32_t FirstWrittenAddress = 1;
inline constexpr int32_t LastWrittenAddress = 254;
inline constexpr bool IsWrittenAddress(int32_t written) {
    return written >= FirstWrittenAddress && written <= LastWrittenAddress;
}

} // namespace CellResults

#endif
