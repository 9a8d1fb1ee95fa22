// The overlapping callers' run that Linux and Windows share: both phases of the mix (every
// call overlapping, then the texts read under the caller's own lock), its faults and its
// figures. Each platform opens its port first and checks what is left afterwards.
#ifndef PORTBENCH_TESTS_SHARED_OVERLAP_CASES_H
#define PORTBENCH_TESTS_SHARED_OVERLAP_CASES_H

#include "overlap_mix.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace cases {

// `phase` is how long each phase mixes; a call still running well past it is a hang.
inline void RunBothMixPhases(overlap::Mix& mix, int threads, std::chrono::seconds phase) {
    mix.RunThreads(threads, phase, std::chrono::seconds(20));
    mix.readTexts = true;
    mix.RunThreads(threads, phase, std::chrono::seconds(10));
    for (const std::string& fault : mix.tally.faults)
        ADD_FAILURE() << fault;
    std::printf("%d calls, %d opens, %d of %d sends read echoed whole\n", mix.tally.calls.load(),
                mix.tally.opened.load(), mix.tally.echoed.load(), mix.tally.sends.load());
    EXPECT_GT(mix.tally.opened.load(), 0);
    EXPECT_GT(mix.tally.echoed.load(), 0) << "no send ever had the port to itself";
}

} // namespace cases

#endif
