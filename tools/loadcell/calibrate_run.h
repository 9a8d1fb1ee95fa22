// loadcell calibrate: the zero (no load) or the span (a known weight) of one cell,
// each the mean of steady readings, kept in the calibration file.
#ifndef LOADCELL_CALIBRATE_RUN_H
#define LOADCELL_CALIBRATE_RUN_H

#include "calibration.h"
#include "cell_session.h"
#include "check_figures.h"
#include "options.h"

#include <string>

namespace loadcell {

constexpr long long kDefaultCalibrationNoise = 20; // counts peak to peak

struct CalibrationStep {
    bool refused = false;
    std::string why;                // refused: one line, without "refused:"
    std::vector<std::string> lines; // what was found, for standard output
};

// Takes the averaged readings `f` into `cell` as its zero or its span (plain logic,
// reachable without a port); on refusal `cell` is left as it was.
CalibrationStep TakeCalibration(const Invocation& inv, const CheckFigures& f,
                                const std::string& date, CellCalibration& cell);

int RunCalibrate(const Invocation& inv, CellSession& session);

} // namespace loadcell

#endif
