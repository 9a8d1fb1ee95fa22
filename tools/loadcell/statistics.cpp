#include "statistics.h"

#include <algorithm>
#include <cmath>

namespace loadcell {

void CellStatistics::AddReading(int32_t code) {
    if (readings_ == 0) {
        minimum_ = maximum_ = first_ = code;
    } else {
        minimum_ = std::min(minimum_, code);
        maximum_ = std::max(maximum_, code);
    }
    last_ = code;
    ++readings_;
    const double delta = code - mean_;
    mean_ += delta / static_cast<double>(readings_);
    squares_ += delta * (code - mean_);
}

double CellStatistics::StandardDeviation() const {
    if (readings_ == 0) return 0;
    return std::sqrt(std::max(0.0, squares_ / static_cast<double>(readings_)));
}

} // namespace loadcell
