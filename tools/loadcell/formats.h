// The lines loadcell writes: readings and summaries in each format, time stamps, hex.
#ifndef LOADCELL_FORMATS_H
#define LOADCELL_FORMATS_H

#include "options.h"
#include "outcomes.h"
#include "statistics.h"

#include <chrono>
#include <string>

namespace loadcell {

// ISO 8601 local time with milliseconds and the offset: 2026-12-08T14:40:00.123+01:00.
std::string IsoTime(std::chrono::system_clock::time_point when);

// The line before the first reading, or empty when the format has none.
// `column` names the CSV column and the JSON key of the value: "code", or a unit.
std::string ReadingHeader(Format format, const std::string& column = "code");
// One reading; a failed one carries its reason and no code.
std::string ReadingLine(Format format, const std::string& time, int address, Reading reading,
                        int32_t code);
// The same with the value as given (a weight): the text format writes it with its unit.
std::string ReadingLine(Format format, const std::string& time, int address, Reading reading,
                        const std::string& value, const std::string& column);

// A line between the readings that marks an event of the run ("port lost: ...",
// "port back"), in the columns of the readings where the format has columns.
std::string EventLine(Format format, const std::string& time, const std::string& event);

std::string SummaryHeader(Format format);
std::string SummaryLine(Format format, int address, const CellStatistics& statistics);

// "02 41 0D": two upper-case digits a byte, separated by blanks.
std::string HexText(const std::string& bytes);

} // namespace loadcell

#endif
