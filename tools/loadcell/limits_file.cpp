#include "limits_file.h"

#include "ini_file.h"
#include "options.h"

namespace loadcell {
namespace {

void Over(Limits& base, const Limits& over) {
    if (over.maxNoise) base.maxNoise = over.maxNoise;
    if (over.maxDrift) base.maxDrift = over.maxDrift;
    if (over.maxFailures) base.maxFailures = over.maxFailures;
}

bool Apply(const IniEntry& entry, const std::string& name, Limits& limits, std::string& error) {
    const std::string where = name + ":" + std::to_string(entry.line) + ": ";
    if (entry.key == "max-drift") {
        const std::optional<double> value = ParseDecimal(entry.value);
        if (!value || *value < 0) {
            error = where + "max-drift '" + entry.value + "' is not counts per minute (0 or more)";
            return false;
        }
        limits.maxDrift = *value;
        return true;
    }
    if (entry.key != "max-noise" && entry.key != "max-failures") {
        error = where + "'" + entry.key + "' is not one of max-noise, max-drift, max-failures";
        return false;
    }
    const std::optional<long long> value = ParseInteger(entry.value);
    if (!value || *value < 0 || *value > kHighestCode) {
        error = where + entry.key + " '" + entry.value + "' is not a count from 0 to 1048575";
        return false;
    }
    (entry.key == "max-noise" ? limits.maxNoise : limits.maxFailures) = *value;
    return true;
}

} // namespace

Limits LimitsTable::For(int address, const Limits& overrides) const {
    Limits limits = every;
    if (auto it = cells.find(address); it != cells.end()) Over(limits, it->second);
    Over(limits, overrides);
    return limits;
}

namespace {

bool FromSections(const std::vector<IniSection>& sections, const std::string& name,
                  LimitsTable& table, std::string& error) {
    table = LimitsTable{};
    for (const IniSection& section : sections) {
        Limits* target = nullptr;
        if (section.name == "limits") {
            target = &table.every;
        } else if (section.name.rfind("cell ", 0) == 0) {
            const std::optional<long long> address = ParseInteger(section.name.substr(5));
            if (!address || *address < kLowestAddress || *address > kHighestAddress) {
                error = name + ":" + std::to_string(section.line) + ": [" + section.name +
                        "] names no address from " + AddressRange();
                return false;
            }
            target = &table.cells[static_cast<int>(*address)];
        } else if (!section.entries.empty()) {
            error = name + ":" +
                    std::to_string(section.name.empty() ? section.entries[0].line : section.line) +
                    ": limits go under [limits] or [cell ADDR]";
            return false;
        }
        for (const IniEntry& entry : section.entries)
            if (!Apply(entry, name, *target, error)) return false;
    }
    return true;
}

} // namespace

bool ParseLimits(const std::string& text, const std::string& name, LimitsTable& table,
                 std::string& error) {
    std::vector<IniSection> sections;
    return ParseIni(text, name, sections, error) && FromSections(sections, name, table, error);
}

bool ReadLimits(const std::string& path, LimitsTable& table, std::string& error) {
    std::vector<IniSection> sections;
    return ReadIni(path, sections, error) && FromSections(sections, path, table, error);
}

} // namespace loadcell
