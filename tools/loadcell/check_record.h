// The record of a check: each cell's codes, figures and verdict, and the facts of the
// run, with the writers of its verdict formats (table, csv, json).
#ifndef LOADCELL_CHECK_RECORD_H
#define LOADCELL_CHECK_RECORD_H

#include "calibration.h"
#include "check_figures.h"
#include "options.h"

#include <optional>
#include <string>
#include <vector>

namespace loadcell {

struct CellRecord {
    int address = 0;
    std::vector<TimedCode> codes;
    CheckFigures figures;
    Limits limits;
    Verdict verdict;
    std::optional<CellCalibration> calibration; // with --units
};

struct RunFacts {
    std::string date; // of the start
    std::string port;
    std::string params;
    std::string version;
    std::string operatorName;
    int readingsAsked = 0;
    int intervalMs = 0;
    bool complete = true;
    std::string stopped; // why a partial record ended early
};

// A figure as shown: in counts, or in the cell's unit with --units.
struct ShownFigures {
    std::string unit; // "" for counts
    int decimals = 2;
    int extremeDecimals = 0; // of the minimum and maximum: whole codes, or as decimals
    double mean = 0, deviation = 0, minimum = 0, maximum = 0, noise = 0, drift = 0;
    double bandLow = 0, bandHigh = 0;
    double Value(int32_t code) const;
    double zero = 0, factor = 1;
};
ShownFigures Shown(const CellRecord& cell);

std::string VerdictText(const CellRecord& cell); // "PASS", "FAIL: noise ..."

std::string CheckTable(const RunFacts& facts, const std::vector<CellRecord>& cells);
std::string CheckCsv(const RunFacts& facts, const std::vector<CellRecord>& cells);
std::string CheckJson(const RunFacts& facts, const std::vector<CellRecord>& cells);

// JSON's quoting of a text, quotes included.
std::string JsonString(const std::string& text);

} // namespace loadcell

#endif
