#include "check_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace loadcell {
namespace {

struct MeanDeviation {
    double mean = 0;
    double deviation = 0;
};

MeanDeviation MeanDeviationOf(std::vector<TimedCode>::const_iterator first,
                              std::vector<TimedCode>::const_iterator last) {
    MeanDeviation m;
    const double n = static_cast<double>(last - first);
    if (n <= 0) return m;
    for (auto it = first; it != last; ++it)
        m.mean += it->code;
    m.mean /= n;
    double squares = 0;
    for (auto it = first; it != last; ++it)
        squares += (it->code - m.mean) * (it->code - m.mean);
    m.deviation = std::sqrt(squares / n);
    return m;
}

// Counts per minute. Centred sums keep large, nearly equal codes exact enough.
double Slope(const std::vector<TimedCode>& codes, double meanCode) {
    if (codes.size() < 2) return 0;
    double meanTime = 0;
    for (const TimedCode& c : codes)
        meanTime += c.seconds;
    meanTime /= static_cast<double>(codes.size());
    double across = 0, spread = 0;
    for (const TimedCode& c : codes) {
        across += (c.seconds - meanTime) * (c.code - meanCode);
        spread += (c.seconds - meanTime) * (c.seconds - meanTime);
    }
    return spread > 0 ? 60.0 * across / spread : 0;
}

} // namespace

CheckFigures ComputeFigures(const std::vector<TimedCode>& codes, long long failures) {
    CheckFigures f;
    f.readings = static_cast<long long>(codes.size());
    f.failures = failures;
    if (codes.empty()) return f;
    const MeanDeviation all = MeanDeviationOf(codes.begin(), codes.end());
    f.mean = all.mean;
    f.deviation = all.deviation;
    const auto [low, high] =
        std::minmax_element(codes.begin(), codes.end(),
                            [](const TimedCode& a, const TimedCode& b) { return a.code < b.code; });
    f.minimum = low->code;
    f.maximum = high->code;
    f.peakToPeak = static_cast<long long>(f.maximum) - f.minimum;
    f.driftPerMinute = Slope(codes, all.mean);

    const auto laterStart = codes.begin() + static_cast<long>(codes.size() / 2);
    const MeanDeviation later = MeanDeviationOf(laterStart, codes.end());
    // The noise from successive differences: a drift hardly widens it, so a cell still
    // moving is not taken for settled.
    double differences = 0;
    for (auto it = laterStart + 1; it < codes.end(); ++it)
        differences += static_cast<double>(it->code - (it - 1)->code) * (it->code - (it - 1)->code);
    const long pairs = static_cast<long>(codes.end() - laterStart) - 1;
    const double noise = pairs > 0 ? std::sqrt(differences / pairs / 2) : 0;
    const double half = std::max(3 * noise, 0.5);
    f.bandLow = later.mean - half;
    f.bandHigh = later.mean + half;
    size_t settled = codes.size();
    while (settled > 0 && codes[settled - 1].code >= f.bandLow &&
           codes[settled - 1].code <= f.bandHigh)
        --settled;
    f.settleSeconds =
        settled == codes.size() ? kNeverSettled : codes[settled].seconds - codes.front().seconds;
    return f;
}

Verdict JudgeFigures(const CheckFigures& f, const Limits& limits) {
    Verdict v;
    auto fail = [&](const std::string& reason) {
        v.pass = false;
        v.reasons.push_back(reason);
    };
    if (f.readings == 0) fail("no good reading");
    if (limits.maxFailures && f.failures > *limits.maxFailures)
        fail(std::to_string(f.failures) + " failed readings, above " +
             std::to_string(*limits.maxFailures));
    if (f.readings > 0 && limits.maxNoise && f.peakToPeak > *limits.maxNoise)
        fail("noise " + std::to_string(f.peakToPeak) + " counts peak to peak, above " +
             std::to_string(*limits.maxNoise));
    if (f.readings > 1 && limits.maxDrift && std::fabs(f.driftPerMinute) > *limits.maxDrift)
        fail("drift " + Decimal(f.driftPerMinute) + " counts/min, beyond " +
             Decimal(*limits.maxDrift));
    return v;
}

std::string Decimal(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (std::string(text) == "-0" || std::string(text) == "-0.00") return text + 1;
    return text;
}

} // namespace loadcell
