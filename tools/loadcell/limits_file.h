// The limits a line keeps beside its scripts, in INI:
//   [limits]          for every cell
//   max-noise = 20    counts peak to peak
//   max-drift = 5     counts per minute
//   max-failures = 0
//   [cell 3]          for the cell at address 3, over [limits]
//   max-noise = 40
#ifndef LOADCELL_LIMITS_FILE_H
#define LOADCELL_LIMITS_FILE_H

#include "check_figures.h"

#include <map>
#include <string>

namespace loadcell {

struct LimitsTable {
    Limits every;
    std::map<int, Limits> cells;

    // The cell's limits: its own section over [limits], then `overrides` (the
    // command line's) over both.
    Limits For(int address, const Limits& overrides) const;
};

bool ReadLimits(const std::string& path, LimitsTable& table, std::string& error);
bool ParseLimits(const std::string& text, const std::string& name, LimitsTable& table,
                 std::string& error);

} // namespace loadcell

#endif
