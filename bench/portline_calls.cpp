// Cost of the receive exports: ReadAllPort per call, ClearPort, and ClosePort with no
// traffic. Run against a pseudo-terminal; prints figures.
#include "portline.h"
#include "pty_device.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms)
        sum += m;
    std::printf("%-34s n=%-3zu mean %7.2f ms  median %7.2f  min %7.2f  max %7.2f\n", what,
                ms.size(), sum / static_cast<double>(ms.size()), ms[ms.size() / 2], ms.front(),
                ms.back());
}

template <typename F> double Time(F f) {
    auto start = Clock::now();
    f();
    return Ms(Clock::now() - start);
}

} // namespace

int main() {
    ptytest::PtyDevice pty;
    const char* name = pty.Path().c_str();
    if (OpenPort(name, "9600,n,8,1", 1) != 1) {
        std::fprintf(stderr, "OpenPort failed on %s\n", name);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::vector<double> reads;
    for (int i = 0; i < 60; ++i)
        reads.push_back(Time([] { ReadAllPort(); }));
    Report("ReadAllPort (30 ms pause)", reads);

    std::vector<double> clears;
    for (int i = 0; i < 10; ++i)
        clears.push_back(Time([] { ClearPort(); }));
    Report("ClearPort (200 ms pause)", clears);
    ClosePort();

    std::vector<double> closes, closesArmed;
    for (int i = 0; i < 10; ++i) {
        OpenPort(name, "9600,n,8,1", 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(200 + 37 * i));
        closes.push_back(Time([] { ClosePort(); }));
    }
    Report("ClosePort, reader idle", closes);
    for (int i = 0; i < 10; ++i) {
        OpenPort(name, "9600,n,8,1", 1);
        ReadAllPort(); // a standing request: the reader pass is 150 ms
        std::this_thread::sleep_for(std::chrono::milliseconds(200 + 37 * i));
        closesArmed.push_back(Time([] { ClosePort(); }));
    }
    Report("ClosePort, request standing", closesArmed);
    return 0;
}
