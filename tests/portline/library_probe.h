// A look inside the library for tests that must know when the reader has handed a text
// over, instead of guessing from the clock.
#ifndef PORTLINE_TESTS_LIBRARY_PROBE_H
#define PORTLINE_TESTS_LIBRARY_PROBE_H

#include "hand_over.h"

#include <chrono>
#include <thread>

namespace ptytest {

inline uint64_t PublishedCount() {
    return portline::Reception.PublishedTexts();
}

// Waits until the reader has published a text after the `seen`-th one.
inline bool WaitPublished(uint64_t seen, int timeoutMs = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (PublishedCount() <= seen) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace ptytest

#endif
