// When each round of a read run starts: at start + k * interval on the steady clock,
// so that the time a round takes never pushes the next one later. A round that
// overruns is followed at once by the next; slots missed entirely are skipped rather
// than made up in a burst.
#ifndef LOADCELL_SCHEDULE_H
#define LOADCELL_SCHEDULE_H

#include <chrono>

namespace loadcell {

class RoundSchedule {
  public:
    using Clock = std::chrono::steady_clock;

    RoundSchedule(Clock::time_point start, std::chrono::milliseconds interval)
        : start_(start), interval_(interval) {}

    // The start of the round after the present one, given the time `now`.
    Clock::time_point Next(Clock::time_point now);
    // Counts again from `start`, after a gap in the run.
    void Restart(Clock::time_point start) {
        start_ = start;
        slot_ = 0;
    }

  private:
    Clock::time_point start_;
    std::chrono::milliseconds interval_;
    long long slot_ = 0;
};

} // namespace loadcell

#endif
