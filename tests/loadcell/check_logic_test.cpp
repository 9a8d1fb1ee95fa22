// The check's arithmetic, limits and calibration steps on known series, without a port.
#include "calibrate_run.h"
#include "check_figures.h"
#include "limits_file.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace loadcell;

namespace {

std::vector<TimedCode> Series(std::initializer_list<int32_t> codes, double step = 0.5) {
    std::vector<TimedCode> series;
    for (int32_t code : codes)
        series.push_back({step * static_cast<double>(series.size()), code});
    return series;
}

TEST(CheckFigures, KnownSeriesGiveKnownFigures) {
    struct Case {
        const char* name;
        std::vector<TimedCode> codes;
        double mean, deviation, perMinute, settle;
        long long peakToPeak;
    };
    const std::vector<Case> cases = {
        {"still", Series({500, 500, 500, 500}), 500, 0, 0, 0, 0},
        // 2 counts every half second: 240 counts a minute, never settled.
        {"ramp", Series({0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22}), 11, 2 * std::sqrt(143.0 / 12),
         240, -1, 22},
        // A step into a steady code: settled from the first reading at 1000.
        {"step", Series({0, 400, 1000, 1000, 1000, 1000, 1000, 1000}), 800, std::sqrt(130000.0),
         60 * 2500 / 10.5, 1.0, 1000},
        {"alternating", Series({10, 12, 10, 12}), 11, 1, 48, 0, 2},
        {"one reading", Series({7}), 7, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CheckFigures f = ComputeFigures(c.codes, 2);
        EXPECT_EQ(f.readings, static_cast<long long>(c.codes.size()));
        EXPECT_EQ(f.failures, 2);
        EXPECT_NEAR(f.mean, c.mean, 1e-9);
        EXPECT_NEAR(f.deviation, c.deviation, 1e-9);
        EXPECT_EQ(f.peakToPeak, c.peakToPeak);
        EXPECT_NEAR(f.driftPerMinute, c.perMinute, 1e-9);
        EXPECT_NEAR(f.settleSeconds, c.settle, 1e-9);
    }
    // Large, nearly equal codes keep their small spread.
    const CheckFigures big = ComputeFigures(Series({1048574, 1048575, 1048574, 1048575}), 0);
    EXPECT_NEAR(big.deviation, 0.5, 1e-9);
    EXPECT_EQ(ComputeFigures({}, 3).readings, 0);
}

TEST(CheckFigures, EachLimitFailsForItsOwnReason) {
    const CheckFigures f = ComputeFigures(Series({0, 2, 4, 6, 8, 10}), 1);
    struct Case {
        Limits limits;
        std::vector<std::string> reasons;
    };
    const std::vector<Case> cases = {
        {{}, {}},
        {{10, 240, 1}, {}},
        {{9, {}, {}}, {"noise 10 counts peak to peak, above 9"}},
        {{{}, 239.5, {}}, {"drift 240.00 counts/min, beyond 239.50"}},
        {{{}, {}, 0}, {"1 failed readings, above 0"}},
        {{0, 0, 0},
         {"1 failed readings, above 0", "noise 10 counts peak to peak, above 0",
          "drift 240.00 counts/min, beyond 0.00"}},
    };
    for (const Case& c : cases) {
        const Verdict v = JudgeFigures(f, c.limits);
        EXPECT_EQ(v.pass, c.reasons.empty());
        EXPECT_EQ(v.reasons, c.reasons);
    }
    // A falling code drifts as much as a rising one.
    EXPECT_FALSE(JudgeFigures(ComputeFigures(Series({10, 8, 6, 4}), 0), {{}, 100, {}}).pass);
    EXPECT_EQ(JudgeFigures(ComputeFigures({}, 0), {}).reasons,
              std::vector<std::string>{"no good reading"});
}

TEST(LimitsFile, CellSectionsOverTheCommonOnesAndOptionsOverBoth) {
    LimitsTable table;
    std::string error;
    ASSERT_TRUE(ParseLimits("; the line's limits\n[limits]\nmax-noise = 20\nmax-drift = 1.5\n"
                            "[cell 4]\nmax-noise=40\nmax-failures = 2\n",
                            "limits.ini", table, error))
        << error;
    const Limits common = table.For(3, {});
    EXPECT_EQ(common.maxNoise, 20);
    EXPECT_EQ(common.maxDrift, 1.5);
    EXPECT_FALSE(common.maxFailures);
    const Limits own = table.For(4, {});
    EXPECT_EQ(own.maxNoise, 40);
    EXPECT_EQ(own.maxFailures, 2);
    const Limits given = table.For(4, {5, {}, {}});
    EXPECT_EQ(given.maxNoise, 5);
    EXPECT_EQ(given.maxDrift, 1.5);
    EXPECT_FALSE(ParseLimits("[limits]\nmax-drift = -1\n", "l", table, error));
    EXPECT_EQ(error, "l:2: max-drift '-1' is not counts per minute (0 or more)");
    EXPECT_FALSE(ParseLimits("[limits]\njust words\n", "l", table, error));
    EXPECT_EQ(error, "l:2: 'just words' is neither [section] nor key = value");
}

TEST(Calibration, StepsTakeSteadyReadingsAndRefuseTheRest) {
    Invocation zero;
    zero.zero = true;
    Invocation span;
    span.spanWeight = 20;
    span.unit = "lb";
    CellCalibration cell;
    // A span first, unsteady readings and a failed reading are refused and change nothing.
    EXPECT_TRUE(TakeCalibration(span, ComputeFigures(Series({5000}), 0), "d", cell).refused);
    EXPECT_TRUE(TakeCalibration(zero, ComputeFigures(Series({0, 21}), 0), "d", cell).refused);
    EXPECT_TRUE(TakeCalibration(zero, ComputeFigures(Series({0, 0}), 1), "d", cell).refused);
    EXPECT_FALSE(cell.zero);
    zero.maxNoise = 30;
    EXPECT_FALSE(TakeCalibration(zero, ComputeFigures(Series({990, 1010}), 0), "d1", cell).refused);
    ASSERT_TRUE(cell.zero);
    EXPECT_EQ(cell.zero->code, 1000);
    EXPECT_EQ(cell.zero->date, "d1");
    // Within three combined deviations of the zero: no span.
    EXPECT_TRUE(TakeCalibration(span, ComputeFigures(Series({1020, 1020}), 0), "d", cell).refused);
    EXPECT_FALSE(cell.span);
    const CalibrationStep step =
        TakeCalibration(span, ComputeFigures(Series({5000, 5000}), 0), "d2", cell);
    ASSERT_FALSE(step.refused) << step.why;
    ASSERT_TRUE(cell.Complete());
    EXPECT_DOUBLE_EQ(cell.Factor(), 20.0 / 4000);
    EXPECT_DOUBLE_EQ(cell.Weight(3000), 10);
    // The zero's mean has a standard error of 10 / sqrt(2); the span's none.
    EXPECT_NEAR(cell.FactorUncertainty(), cell.Factor() * (10 / std::sqrt(2.0)) / 4000, 1e-15);
    EXPECT_EQ(cell.unit, "lb");
}

} // namespace
