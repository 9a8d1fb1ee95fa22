#include "schedule.h"

namespace loadcell {

RoundSchedule::Clock::time_point RoundSchedule::Next(Clock::time_point now) {
    ++slot_;
    if (interval_.count() <= 0) return now;
    Clock::time_point due = start_ + slot_ * interval_;
    if (now > due + interval_) {
        slot_ += (now - due) / interval_;
        due = start_ + slot_ * interval_;
    }
    return due;
}

} // namespace loadcell
