// A steady stream at 960 bytes per second (9600 baud, 8N1), paced by the device side and
// polled every 170 ms as PortBench polls: bytes delivered, lost and out of order, the
// largest text handed on, and the CPU time of the library's two threads.
// Usage: portline_stream [seconds]   (default 60)
#include "portline.h"
#include "pty_device.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <dirent.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// CPU seconds used so far by the threads named TFormThread and AXThread.
double ReaderCpuSeconds() {
    double total = 0;
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* e = tasks ? readdir(tasks) : nullptr) {
        if (e->d_name[0] == '.') continue;
        std::string base = std::string("/proc/self/task/") + e->d_name;
        std::string comm;
        std::getline(std::ifstream(base + "/comm"), comm);
        if (comm != "TFormThread" && comm != "AXThread") continue;
        unsigned long long ns = 0;
        if (std::ifstream(base + "/schedstat") >> ns) {
            total += static_cast<double>(ns) / 1e9;
            continue;
        }
        std::string stat;
        std::getline(std::ifstream(base + "/stat"), stat);
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        unsigned long long utime = 0, stime = 0;
        for (int i = 3; fields >> field; ++i) {
            if (i == 14) utime = std::stoull(field);
            if (i == 15) {
                stime = std::stoull(field);
                break;
            }
        }
        total += static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    if (tasks) closedir(tasks);
    return total;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    constexpr double kRate = 960;
    ptytest::PtyDevice pty;
    if (OpenPort(pty.Path().c_str(), "9600,n,8,1", 1) != 1) {
        std::fprintf(stderr, "no port\n");
        return 1;
    }
    SleepMs(300);
    ReadAllPort();

    std::string sent;
    std::atomic<bool> done{false};
    std::thread device([&] {
        sent = pty.SendSteadyStream(kRate, std::chrono::seconds(seconds), 10);
        done = true;
    });

    std::string received;
    size_t largest = 0, texts = 0, calls = 0;
    auto poll = [&] {
        std::string text = ReadAllPort();
        ++calls;
        if (!text.empty()) ++texts;
        largest = std::max(largest, text.size());
        received += text;
        SleepMs(140);
    };
    const double cpuStart = ReaderCpuSeconds();
    const auto streamStart = Clock::now();
    while (!done)
        poll();
    device.join();
    const double streamSeconds = std::chrono::duration<double>(Clock::now() - streamStart).count();
    const double cpuStream = ReaderCpuSeconds() - cpuStart;
    for (auto end = Clock::now() + std::chrono::seconds(3);
         received.size() < sent.size() && Clock::now() < end;)
        poll();

    size_t outOfOrder = 0;
    for (size_t i = 0; i < std::min(sent.size(), received.size()); ++i)
        if (sent[i] != received[i]) ++outOfOrder;
    const size_t lost = sent.size() > received.size() ? sent.size() - received.size() : 0;

    const double cpuIdleStart = ReaderCpuSeconds();
    const auto idleStart = Clock::now();
    while (Clock::now() - idleStart < std::chrono::seconds(10))
        poll();
    const double idleSeconds = std::chrono::duration<double>(Clock::now() - idleStart).count();
    const double cpuIdle = ReaderCpuSeconds() - cpuIdleStart;
    ClosePort();
    pty.Hangup();

    std::printf("stream %.1f s at %.0f B/s, polled every 170 ms (%zu calls, %zu texts)\n",
                streamSeconds, kRate, calls, texts);
    std::printf("bytes sent        %zu\n", sent.size());
    std::printf("bytes delivered   %zu\n", received.size());
    std::printf("bytes lost        %zu\n", lost);
    std::printf("out of order      %zu\n", outOfOrder);
    std::printf("largest text      %zu bytes\n", largest);
    std::printf("reader CPU        %.2f ms per second streaming, %.2f ms per second idle\n",
                cpuStream * 1000 / streamSeconds, cpuIdle * 1000 / idleSeconds);
    return lost == 0 && outOfOrder == 0 ? 0 : 2;
}
