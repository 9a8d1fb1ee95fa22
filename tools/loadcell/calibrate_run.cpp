#include "calibrate_run.h"

#include "console.h"
#include "formats.h"
#include "outcomes.h"
#include "output.h"
#include "progress.h"
#include "schedule.h"
#include "units.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace loadcell {
namespace {

void Error(const std::string& text) {
    std::fprintf(stderr, "loadcell: calibrate: %s\n", text.c_str());
}

std::string Significant(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

} // namespace

CalibrationStep TakeCalibration(const Invocation& inv, const CheckFigures& f,
                                const std::string& date, CellCalibration& cell) {
    CalibrationStep step;
    const std::string what = inv.zero ? "zero" : "span";
    const long long limit = inv.maxNoise.value_or(kDefaultCalibrationNoise);
    auto refuse = [&](const std::string& why) {
        step.refused = true;
        step.why = why;
        return step;
    };
    if (f.readings == 0) return refuse("no good reading of the cell");
    if (f.failures > 0)
        return refuse(std::to_string(f.failures) + " of " +
                      std::to_string(f.readings + f.failures) +
                      " readings failed; a calibration takes only a line that gives every one");
    if (f.peakToPeak > limit)
        return refuse("the readings are not steady (noise " + std::to_string(f.peakToPeak) +
                      " counts peak to peak, above " + std::to_string(limit) + "; let the " +
                      (inv.zero ? "empty cell" : "weight") + " settle, or set --max-noise)");
    const Averaged taken{f.mean, f.deviation, f.readings, date};
    CellCalibration next = cell;
    if (inv.zero) {
        next.zero = taken;
    } else {
        if (!cell.zero)
            return refuse(
                "the cell has no zero yet (loadcell calibrate ADDR --zero, with no load)");
        next.span = taken;
        next.spanWeight = *inv.spanWeight;
        next.unit = inv.unit;
    }
    step.lines.push_back(what + ": code " + Decimal(f.mean, 2) + " (sd " + Decimal(f.deviation, 2) +
                         ", noise " + std::to_string(f.peakToPeak) + " counts, " +
                         std::to_string(f.readings) + " readings)");
    if (next.Complete()) {
        const double difference = next.span->code - next.zero->code;
        const double apart = 3 * std::hypot(next.zero->deviation, next.span->deviation);
        if (std::fabs(difference) < std::max(1.0, apart))
            return refuse("the span code " + Decimal(next.span->code, 2) +
                          " is no different from the zero code " + Decimal(next.zero->code, 2) +
                          " (is the weight on the cell, and the zero taken without it?)");
        step.lines.push_back(
            "factor: " + Significant(next.Factor()) + " " + next.unit + "/count, uncertainty " +
            Significant(next.FactorUncertainty()) + " (" +
            Significant(100 * next.FactorUncertainty() / std::fabs(next.Factor())) +
            " %, from the noise of both means)");
        step.lines.push_back("check: " + Decimal(next.spanWeight, 3) + " " + next.unit +
                             " at code " + Decimal(next.span->code, 2) + ", 0 at code " +
                             Decimal(next.zero->code, 2));
    } else if (inv.zero) {
        step.lines.push_back("next: put a known weight on the cell, then loadcell calibrate ADDR "
                             "--span W --unit kg");
    }
    cell = next;
    return step;
}

int RunCalibrate(const Invocation& inv, CellSession& session) {
    const int address = inv.addresses[0];
    const std::string path = CalibrationPath(inv);
    CalibrationTable table;
    std::string error;
    if (!ReadCalibrations(path, table, error)) {
        Error(error);
        return kExitBadData;
    }
    if (inv.spanWeight && (!table.count(address) || !table[address].zero)) {
        Error("refused: address " + std::to_string(address) + " has no zero in " + path +
              " (loadcell calibrate " + std::to_string(address) +
              " --zero, with no load, first); nothing written");
        return kExitCalibrationRefused;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    RoundSchedule schedule(start, std::chrono::milliseconds(inv.intervalMs));
    std::vector<TimedCode> codes;
    long long failures = 0;
    {
        ScanProgress progress(stderr, inv.readings, "calibrate");
        for (int i = 0; i < inv.readings && !StopRequested(); ++i) {
            progress.Probing(address, i);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            const CellReading r = session.Read(address);
            if (StopRequested()) break;
            if (r.reading == Reading::Good) {
                codes.push_back({seconds, r.code});
            } else {
                ++failures;
                const std::string lost = session.Lost();
                if (!lost.empty()) {
                    progress.Wipe();
                    Error("the port was lost: " + lost + "; nothing written");
                    return kExitPortLost;
                }
            }
            if (i + 1 < inv.readings) PauseUntil(schedule.Next(Clock::now()));
        }
    }
    if (StopRequested()) {
        Error("interrupted: nothing written");
        return kExitSignalBase + StopSignal();
    }
    CellCalibration& cell = table[address];
    const CalibrationStep step = TakeCalibration(inv, ComputeFigures(codes, failures),
                                                 IsoTime(std::chrono::system_clock::now()), cell);
    for (const std::string& line : step.lines)
        Stdout().Line("address " + std::to_string(address) + ": " + line);
    if (step.refused) {
        Error("refused: " + step.why + "; nothing written");
        return kExitCalibrationRefused;
    }
    if (!WriteCalibrations(path, table, error)) {
        Error(error + "; the calibration is not kept");
        return kExitCannotWrite;
    }
    Stdout().Line("address " + std::to_string(address) + ": " + (inv.zero ? "zero" : "span") +
                  " kept in " + path);
    return kExitOk;
}

} // namespace loadcell
