// The figures of a check of one cell, from its timed codes, and its verdict against
// the limits. Plain arithmetic over a finished (or cut-short) run.
#ifndef LOADCELL_CHECK_FIGURES_H
#define LOADCELL_CHECK_FIGURES_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace loadcell {

// One good reading: seconds since the run's first request, and the code.
struct TimedCode {
    double seconds = 0;
    int32_t code = 0;
};

// The settling time of readings that never held in the final band.
constexpr double kNeverSettled = -1;

struct CheckFigures {
    long long readings = 0; // good ones
    long long failures = 0;
    // The rest means something only when readings > 0.
    double mean = 0;
    double deviation = 0; // of all the readings taken (not a sample estimate)
    int32_t minimum = 0;
    int32_t maximum = 0;
    long long peakToPeak = 0;  // maximum minus minimum, in counts
    double driftPerMinute = 0; // least-squares slope of code over time; 0 below two readings
    // The settled band: the mean of the later half of the readings, plus or minus three
    // times their noise (at least half a count), the noise taken from the differences of
    // successive readings, sqrt(mean(d^2) / 2), so that a drift does not widen it.
    double bandLow = 0;
    double bandHigh = 0;
    // From the first reading to the first one after which every reading stays in the
    // band; negative when the last reading still lies outside it.
    double settleSeconds = 0; // kNeverSettled when the readings never held in the band
};

CheckFigures ComputeFigures(const std::vector<TimedCode>& codes, long long failures);

// Limits a cell must meet; an absent one is not checked. Noise is peak-to-peak and
// drift the slope's size, both in counts.
struct Limits {
    std::optional<long long> maxNoise;
    std::optional<double> maxDrift; // counts per minute
    std::optional<long long> maxFailures;
};

struct Verdict {
    bool pass = true;
    std::vector<std::string> reasons; // why it failed: "noise 40 counts above 20"
};

Verdict JudgeFigures(const CheckFigures& figures, const Limits& limits);

// "1.25": two decimals, the C locale's point.
std::string Decimal(double value, int decimals = 2);

} // namespace loadcell

#endif
