// Duration of WriteSendData and of each load-cell exchange against the virtual bench
// (the fixed window plus overhead), and a presence scan of addresses 1 to 12.
#include "portline.h"

#include <portsim/bench.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Measure(const char* what, double windowMs, const std::function<void()>& call) {
    std::vector<double> ms;
    for (int i = 0; i < 40; ++i) {
        auto start = Clock::now();
        call();
        ms.push_back(Ms(Clock::now() - start));
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms)
        sum += m;
    double mean = sum / static_cast<double>(ms.size());
    std::printf(
        "%-28s window %3.0f ms  mean %6.2f  median %6.2f  max %6.2f  overhead (median) %5.2f ms\n",
        what, windowMs, mean, ms[ms.size() / 2], ms.back(), ms[ms.size() / 2] - windowMs);
}

} // namespace

int main() {
    portsim::Config config;
    config.echo = true;
    config.cells.push_back({7, 74565, false});
    portsim::Bench bench(config);
    if (!bench.Start() || OpenPort(bench.DevicePath().c_str(), "9600,n,8,1", 1) != 1) {
        std::fprintf(stderr, "no bench: %s\n", bench.Error().c_str());
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    Measure("WriteSendData(\"abc\")", 80, [] { WriteSendData("abc"); });
    portsim::Config cells = config;
    cells.echo = false;
    bench.Reconfigure(cells);
    Measure("QuillReadLoadCell(7)", 50, [] { QuillReadLoadCell(7); });
    Measure("QuillReadLoadCellValue(7)", 50, [] { QuillReadLoadCellValue(7); });
    Measure("QuillWriteLoadCell(7)", 80, [] { QuillWriteLoadCell(7); });

    auto start = Clock::now();
    std::vector<int> found;
    for (int address = 1; address <= 12; ++address)
        if (QuillReadLoadCell(address) == address) found.push_back(address);
    double scan = Ms(Clock::now() - start);
    std::printf("presence scan 1..12: %.1f ms (12 x 50 ms = 600 ms of windows), found:", scan);
    for (int a : found)
        std::printf(" %d", a);
    std::printf("\n");

    ClosePort();
    bench.Stop();
    return 0;
}
