// Driving the library as its host program does: a poll of ReadAllPort every 170 ms.
#ifndef PORTLINE_TESTS_POLL_HELPERS_H
#define PORTLINE_TESTS_POLL_HELPERS_H

#include "portline.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace ptytest {

inline void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Lets freshly started reader threads get past their start (which discards input).
inline void Settle() {
    SleepMs(300);
}

// Polls every 170 ms until `count` bytes were handed on or `timeoutMs` passed; returns
// the non-empty texts in order.
inline std::vector<std::string> PollTexts(size_t count, int timeoutMs) {
    std::vector<std::string> texts;
    size_t total = 0;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (total < count && std::chrono::steady_clock::now() < end) {
        std::string text = ReadAllPort();
        if (!text.empty()) {
            total += text.size();
            texts.push_back(std::move(text));
        }
        SleepMs(140);
    }
    return texts;
}

inline std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const auto& t : texts)
        all += t;
    return all;
}

} // namespace ptytest

#endif
