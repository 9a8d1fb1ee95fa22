// loadcell check of 12 cells x 50 readings against the virtual bench: the wall time
// of the whole run against the sum of its exchanges' fixed waits (each reading is one
// WriteSendData, which listens its full 80 ms window), and what is left per exchange
// for everything else (the request's write, the figures, the record).
// Usage: loadcell_check [RUNS]   (default 1)
#include "child_program.h"
#include "portsim/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCells = 12;
constexpr int kReadings = 50;
constexpr double kWindowMs = 80; // the library's fixed reply window

struct Run {
    int status = -1;
    double seconds = 0;
};

Run Check(const std::string& port, const std::string& report) {
    std::vector<std::string> args = {LOADCELL_PROGRAM, "check"};
    for (int address = 1; address <= kCells; ++address)
        args.push_back(std::to_string(address));
    for (const char* more : {"--readings", "50", "--interval", "0", "--format", "csv"})
        args.push_back(more);
    args.insert(args.end(), {"--report", report, "--port", port});
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const Clock::time_point start = Clock::now();
    const pid_t pid = childtest::StartProgram(args, {"TZ=UTC"}, null, null, [] {});
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(null);
    Run run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    portsim::Config config;
    for (int address = 1; address <= kCells; ++address) {
        portsim::Cell cell{address, static_cast<uint32_t>(10000 * address), false};
        cell.noise = 3;
        config.cells.push_back(cell);
    }
    char folder[] = "/tmp/loadcell-check-bench-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string report = std::string(folder) + "/report.html";
    const double waits = kCells * kReadings * kWindowMs / 1000;
    std::vector<double> times;
    int status = -1;
    for (int i = 0; i < runs; ++i) {
        portsim::Bench bench(config);
        if (!bench.Start()) return 1;
        const Run run = Check(bench.DevicePath(), report);
        times.push_back(run.seconds);
        status = run.status;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("check %d cells x %d readings: median %.2f s over %d run(s) (exit %d)\n", kCells,
                kReadings, median, runs, status);
    std::printf("fixed waits: %d exchanges x %.0f ms = %.2f s; wall / waits = %.3f; "
                "%.2f ms a reading beyond its window\n",
                kCells * kReadings, kWindowMs, waits, median / waits,
                (median - waits) * 1000 / (kCells * kReadings));
    ::unlink(report.c_str());
    ::rmdir(folder);
    return status == 0 ? 0 : 1;
}
