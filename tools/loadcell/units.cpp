#include "units.h"

#include "check_figures.h"

#include <algorithm>
#include <cmath>

namespace loadcell {

std::string CalibrationPath(const Invocation& inv) {
    return inv.calibrationPath.empty() ? DefaultCalibrationPath() : inv.calibrationPath;
}

bool CalibrationsFor(const Invocation& inv, const std::vector<int>& addresses,
                     std::vector<std::optional<CellCalibration>>& found, std::string& error) {
    const std::string path = CalibrationPath(inv);
    CalibrationTable table;
    if (!ReadCalibrations(path, table, error)) return false;
    found.clear();
    std::string unit;
    for (int address : addresses) {
        const auto it = table.find(address);
        const std::string name = "address " + std::to_string(address);
        if (it == table.end() || !it->second.Complete()) {
            error = name + " has no calibration in " + path + " (loadcell calibrate " +
                    std::to_string(address) +
                    (it != table.end() && it->second.zero ? " --span W: its zero is there)"
                                                          : " --zero, then --span W)");
            return false;
        }
        // One column or key carries every cell's weight, so they share a unit.
        if (!unit.empty() && it->second.unit != unit) {
            error = name + " is calibrated in " + it->second.unit + ", the cells before it in " +
                    unit + "; check or read them apart";
            return false;
        }
        unit = it->second.unit;
        found.push_back(it->second);
    }
    return true;
}

std::string FollowAssign(const Invocation& inv, int from, int to, bool& failed) {
    failed = false;
    const std::string path = CalibrationPath(inv);
    CalibrationTable table;
    std::string error;
    if (!ReadCalibrations(path, table, error)) {
        failed = true;
        return "calibration: not looked at (" + error + ")";
    }
    const std::string old = std::to_string(from), now = std::to_string(to);
    if (from == to || !table.count(from))
        return table.count(to) ? "calibration: address " + now + " has one (" + path + ")" : "";
    if (inv.keepCalibration)
        return "calibration: kept under address " + old + " (--keep-calibration); address " + now +
               (table.count(to) ? " keeps its own" : " has none");
    const bool replaced = table.count(to) > 0;
    table[to] = table[from];
    table.erase(from);
    if (!WriteCalibrations(path, table, error)) {
        failed = true;
        return "calibration: still under address " + old + " (" + error + ")";
    }
    return "calibration: moved from address " + old + " to " + now +
           (replaced ? ", replacing the one address " + now + " had" : "");
}

std::string Weight(const CellCalibration& calibration, int32_t code) {
    const int decimals =
        std::clamp(static_cast<int>(std::ceil(-std::log10(std::fabs(calibration.Factor())))), 0, 6);
    return Decimal(calibration.Weight(code), decimals);
}

} // namespace loadcell
