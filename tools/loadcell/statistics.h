// Running figures of one cell's A/D codes over a read run.
#ifndef LOADCELL_STATISTICS_H
#define LOADCELL_STATISTICS_H

#include <cstdint>

namespace loadcell {

class CellStatistics {
  public:
    void AddReading(int32_t code);
    void AddFailure() { ++failed_; }

    long long Readings() const { return readings_; } // good ones
    long long Failed() const { return failed_; }
    // The figures below mean something only when Readings() > 0.
    int32_t Minimum() const { return minimum_; }
    int32_t Maximum() const { return maximum_; }
    double Mean() const { return mean_; }
    // Of all the readings taken (not an estimate from a sample): 0 for one reading.
    double StandardDeviation() const;
    // The last good reading minus the first.
    long long Drift() const { return static_cast<long long>(last_) - first_; }

  private:
    long long readings_ = 0;
    long long failed_ = 0;
    int32_t minimum_ = 0;
    int32_t maximum_ = 0;
    int32_t first_ = 0;
    int32_t last_ = 0;
    // Welford's running mean and sum of squared deviations: stable over long runs
    // of large, nearly equal codes.
    double mean_ = 0;
    double squares_ = 0;
};

} // namespace loadcell

#endif
