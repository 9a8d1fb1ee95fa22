#include "calibration.h"

#include "check_figures.h"
#include "ini_file.h"
#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace loadcell {
namespace {

void AddAveraged(std::vector<IniEntry>& entries, const std::string& name, const Averaged& a) {
    entries.push_back({name, Decimal(a.code, 3)});
    entries.push_back({name + "-sd", Decimal(a.deviation, 3)});
    entries.push_back({name + "-readings", std::to_string(a.readings)});
    entries.push_back({name + "-date", a.date});
}

} // namespace

double CellCalibration::Factor() const {
    return spanWeight / (span->code - zero->code);
}

double CellCalibration::FactorUncertainty() const {
    auto meanError = [](const Averaged& a) {
        return a.readings > 0 ? a.deviation / std::sqrt(static_cast<double>(a.readings)) : 0;
    };
    const double difference = std::fabs(span->code - zero->code);
    return std::fabs(Factor()) * std::hypot(meanError(*zero), meanError(*span)) / difference;
}

std::string DefaultCalibrationPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && *config == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home && *home ? home : ".") + "/.config";
    }
    return folder + "/PortBench/loadcell-calibration.ini";
}

bool ReadCalibrations(const std::string& path, CalibrationTable& table, std::string& error) {
    table.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
    std::vector<IniSection> sections;
    if (!ReadIni(path, sections, error)) return false;
    for (const IniSection& section : sections) {
        if (section.name.empty() && section.entries.empty()) continue;
        // No number, or none at all, is 0: outside the range, refused below.
        const long long address = section.name.rfind("cell ", 0) == 0
                                      ? ParseInteger(section.name.substr(5)).value_or(0)
                                      : 0;
        const std::string where =
            path + ":" +
            std::to_string(section.name.empty() ? section.entries[0].line : section.line);
        if (address < kLowestAddress || address > kHighestAddress) {
            error = where + ": calibrations go under [cell ADDR], ADDR from " + AddressRange();
            return false;
        }
        CellCalibration& cell = table[static_cast<int>(address)];
        std::map<std::string, std::string> values;
        for (const IniEntry& entry : section.entries)
            values[entry.key] = entry.value;
        auto averaged = [&](const std::string& name) -> std::optional<Averaged> {
            if (!values.count(name)) return std::nullopt;
            Averaged a;
            const auto code = ParseDecimal(values[name]);
            const auto deviation = ParseDecimal(values[name + "-sd"]);
            const auto readings = ParseInteger(values[name + "-readings"]);
            if (!code || !deviation || !readings) {
                error = where + ": " + name + ", " + name + "-sd and " + name +
                        "-readings must be numbers";
                return std::nullopt;
            }
            a.code = *code;
            a.deviation = *deviation;
            a.readings = *readings;
            a.date = values[name + "-date"];
            return a;
        };
        cell.zero = averaged("zero");
        if (!error.empty()) return false;
        cell.span = averaged("span");
        if (!error.empty()) return false;
        if (cell.span) {
            const auto weight = ParseDecimal(values["span-weight"]);
            if (!weight || *weight <= 0 || values["unit"].empty()) {
                error = where + ": a span needs span-weight above 0 and a unit";
                return false;
            }
            cell.spanWeight = *weight;
            cell.unit = values["unit"];
        }
        if (cell.Complete() && cell.span->code == cell.zero->code) {
            error = where + ": the span code equals the zero code";
            return false;
        }
    }
    return true;
}

bool WriteCalibrations(const std::string& path, const CalibrationTable& table, std::string& error) {
    std::vector<IniSection> sections;
    for (const auto& [address, cell] : table) {
        IniSection section{"cell " + std::to_string(address), 0, {}};
        if (cell.zero) AddAveraged(section.entries, "zero", *cell.zero);
        if (cell.span) {
            AddAveraged(section.entries, "span", *cell.span);
            section.entries.push_back({"span-weight", Decimal(cell.spanWeight, 6)});
            section.entries.push_back({"unit", cell.unit});
        }
        if (!section.entries.empty()) sections.push_back(section);
    }
    return WriteIniAtomically(path, sections,
                              "# loadcell calibrations: weight = (code - zero) * span-weight / "
                              "(span - zero)\n",
                              error);
}

} // namespace loadcell
