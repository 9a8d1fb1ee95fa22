// loadcell's one-cell guard and its read schedule, against the virtual bench:
// - the time of the full guard (address 0 and 1 to 191) before an address write, with
//   one cell (the write follows) and with two (refused);
// - how far the rounds of `read --interval MS` stray from start + k * MS over 200
//   rounds, and the mean interval.
// Usage: loadcell_guard [INTERVAL_MS...]   (default 100)
#include "child_program.h"
#include "portsim/bench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    int status = -1;
    std::string out;
    double seconds = 0;
};

Run Loadcell(std::vector<std::string> args) {
    args.insert(args.begin(), LOADCELL_PROGRAM);
    std::vector<std::string> environment = {"TZ=UTC"};
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return {};
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const Clock::time_point start = Clock::now();
    const pid_t pid = childtest::StartProgram(args, environment, out[1], null, [] {});
    Run run;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        run.out.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Milliseconds of the day from "2026-12-09T02:29:05.321+00:00,...".
double DayMs(const std::string& line) {
    if (line.size() < 23) return NAN;
    const int h = std::atoi(line.substr(11, 2).c_str()), m = std::atoi(line.substr(14, 2).c_str());
    const int s = std::atoi(line.substr(17, 2).c_str()), ms = std::atoi(line.substr(20, 3).c_str());
    return ((h * 60.0 + m) * 60.0 + s) * 1000.0 + ms;
}

void Guard(const char* what, const portsim::Config& config, int rounds) {
    std::vector<double> times;
    int status = -1;
    for (int i = 0; i < rounds; ++i) {
        portsim::Bench bench(config);
        if (!bench.Start()) return;
        const Run run = Loadcell({"assign", "5", "--port", bench.DevicePath()});
        times.push_back(run.seconds);
        status = run.status;
    }
    std::sort(times.begin(), times.end());
    std::printf("guard 0-191, %s: median %.2f s, fastest %.2f s over %d runs (exit %d)\n", what,
                times[times.size() / 2], times.front(), rounds, status);
}

void Schedule(int intervalMs) {
    constexpr int kRounds = 200;
    portsim::Config config;
    config.cells = {{1}};
    portsim::Bench bench(config);
    if (!bench.Start()) return;
    const Run run =
        Loadcell({"read", "1", "--count", std::to_string(kRounds), "--interval",
                  std::to_string(intervalMs), "--format", "csv", "--port", bench.DevicePath()});
    std::vector<double> stamps;
    size_t at = run.out.find('\n'); // past the header
    while (at != std::string::npos && at + 1 < run.out.size()) {
        const size_t end = run.out.find('\n', at + 1);
        stamps.push_back(DayMs(run.out.substr(at + 1, end - at - 1)));
        at = end;
    }
    if (stamps.size() < 2) {
        std::printf("schedule %d ms: no readings (exit %d)\n", intervalMs, run.status);
        return;
    }
    // The time stamp is taken when a reading's reply is in, a fixed time after the
    // round's start; its error against start + k * interval is what is measured.
    double worst = 0, sum = 0;
    for (size_t k = 0; k < stamps.size(); ++k) {
        const double error = stamps[k] - (stamps[0] + k * intervalMs);
        worst = std::max(worst, std::fabs(error));
        sum += error;
    }
    const double mean = (stamps.back() - stamps.front()) / (stamps.size() - 1);
    std::printf("schedule %d ms over %zu rounds: mean interval %.3f ms, mean error %+.2f ms, "
                "worst %.0f ms, end %+.0f ms (exit %d)\n",
                intervalMs, stamps.size(), mean, sum / stamps.size(), worst,
                stamps.back() - (stamps[0] + (stamps.size() - 1) * intervalMs), run.status);
}

} // namespace

int main(int argc, char** argv) {
    portsim::Config one;
    one.cells = {{1}};
    portsim::Config two;
    two.cells = {{1}, {150}};
    Guard("one cell, then the write", one, 3);
    Guard("two cells, refused", two, 1);
    std::vector<int> intervals;
    for (int i = 1; i < argc; ++i)
        intervals.push_back(std::atoi(argv[i]));
    if (intervals.empty()) intervals = {100};
    for (int interval : intervals)
        Schedule(interval);
    return 0;
}
