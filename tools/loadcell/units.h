// The calibrations --units needs: every cell named must have a whole one.
#ifndef LOADCELL_UNITS_H
#define LOADCELL_UNITS_H

#include "calibration.h"
#include "options.h"

#include <optional>
#include <string>
#include <vector>

namespace loadcell {

// The file --calibration names, or the user's own.
std::string CalibrationPath(const Invocation& inv);

// One calibration per address, in order; false with `error` when the file is wrong or
// an address has none (or only its zero).
bool CalibrationsFor(const Invocation& inv, const std::vector<int>& addresses,
                     std::vector<std::optional<CellCalibration>>& found, std::string& error);

// After `assign` moved a cell from address `from` to `to`: its calibration moves with
// it unless --keep-calibration says otherwise. Returns the line that tells what
// became of it, or empty when there was none; `failed` when the file could not be
// read or written.
std::string FollowAssign(const Invocation& inv, int from, int to, bool& failed);

// The code as a weight, with as many decimals as show one count.
std::string Weight(const CellCalibration& calibration, int32_t code);

} // namespace loadcell

#endif
