// Calibrations to units, kept per cell address in one INI file:
//   [cell 3]
//   zero = 74565.20        the mean code with no load
//   zero-sd = 1.10         the standard deviation of those readings
//   zero-readings = 50
//   zero-date = 2026-12-09T10:00:00.000+01:00
//   span = 124565.00       the mean code under the known weight
//   span-sd, span-readings, span-date likewise
//   span-weight = 10
//   unit = kg
// A weight is (code - zero) * factor, the factor being span-weight / (span - zero).
#ifndef LOADCELL_CALIBRATION_H
#define LOADCELL_CALIBRATION_H

#include <map>
#include <optional>
#include <string>

namespace loadcell {

struct Averaged {
    double code = 0;
    double deviation = 0;
    long long readings = 0;
    std::string date;
};

struct CellCalibration {
    std::optional<Averaged> zero;
    std::optional<Averaged> span;
    double spanWeight = 0;
    std::string unit;

    bool Complete() const { return zero && span; }
    // Units per count; Complete() only.
    double Factor() const;
    // The factor's standard uncertainty from the noise of both means.
    double FactorUncertainty() const;
    double Weight(double code) const { return (code - zero->code) * Factor(); }
};

using CalibrationTable = std::map<int, CellCalibration>;

// $XDG_CONFIG_HOME/PortBench/loadcell-calibration.ini, or under ~/.config without it.
std::string DefaultCalibrationPath();

// A missing file is an empty table; a malformed one an error naming its line.
bool ReadCalibrations(const std::string& path, CalibrationTable& table, std::string& error);
bool WriteCalibrations(const std::string& path, const CalibrationTable& table, std::string& error);

} // namespace loadcell

#endif
