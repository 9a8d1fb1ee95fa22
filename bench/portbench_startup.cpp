// Start-up of PortBench against the toolkit's floor: PortBench and an empty Qt
// window of the same size (532 x 365) are started alternately on one X display
// (a private Xvfb when there is none). For each start it measures the time from
// the start of the process until its window is mapped, and the resident memory
// 2 s after the start; it prints both medians, their ratio and the difference.
//
// A third window of the same size shows one line of Chinese text and nothing
// else: what any window that draws text pays for the font configuration and
// a CJK font, which the empty window never loads.
//
// The text window is the floor for PortBench, whose captions are Chinese: the
// benchmark says how far it already is from the empty window.
//
//   portbench_startup [rounds [program...]]  (7 rounds by default; other builds
//                                             of PortBench started in turn too)
//   portbench_startup --empty-window         (the empty window itself)
//   portbench_startup --text-window          (the window with one line of text)
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Width = 532;
constexpr int Height = 365;

int EmptyWindow(int argc, char** argv, bool withText) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(Width, Height);
    if (withText) (new QLabel(QString::fromUtf8("通讯基本参数 Port"), &window))->move(8, 8);
    window.show();
    return app.exec();
}

// A private X server for the run, when there is no display.
pid_t StartXvfb() {
    for (int n = 90; n < 99; ++n) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        struct stat info {};
        if (::stat(socket.c_str(), &info) == 0) continue;
        const std::string display = ":" + std::to_string(n);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
                     "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100 && ::stat(socket.c_str(), &info) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::setenv("DISPLAY", display.c_str(), 1);
        return pid;
    }
    return -1;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

struct Start {
    double ms = -1;
    long rssKb = -1;
};

// Starts `program`, waits for a mapped top-level window of the window's size.
Start Measure(xcb_connection_t* x, const std::vector<std::string>& program) {
    std::vector<char*> argv;
    for (const std::string& arg : program)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    Start result;
    const auto begin = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    while (result.ms < 0 && Clock::now() - begin < std::chrono::seconds(30)) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (!event) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            xcb_get_geometry_reply_t* geometry =
                xcb_get_geometry_reply(x, xcb_get_geometry(x, map->window), nullptr);
            if (geometry && geometry->width == Width && geometry->height == Height)
                result.ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            std::free(geometry);
        }
        std::free(event);
    }
    std::this_thread::sleep_until(begin + std::chrono::seconds(2));
    result.rssKb = ResidentKb(pid);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return result;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    if (values.empty()) return -1;
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0)
        return EmptyWindow(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--text-window") == 0)
        return EmptyWindow(argc, argv, true);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    pid_t xvfb = -1;
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) xvfb = StartXvfb();
    ::unsetenv("QT_QPA_PLATFORM");
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "portbench_startup: cannot connect to the display\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) < 0) return 1;
    struct Program {
        std::string name;
        std::vector<std::string> command;
        std::vector<double> ms, kb;
    };
    std::vector<Program> programs = {{"empty window", {self, "--empty-window"}, {}, {}},
                                     {"text window", {self, "--text-window"}, {}, {}},
                                     {"PortBench", {PORTBENCH_PROGRAM}, {}, {}}};
    for (int i = 2; i < argc; ++i)
        programs.push_back({argv[i], {argv[i]}, {}, {}});
    const int count = static_cast<int>(programs.size());
    for (int round = 0; round < rounds; ++round) {
        // Each round starts with another, so that none always finds the caches warmer.
        for (int i = 0; i < count; ++i) {
            Program& p = programs[(i + round) % count];
            const Start s = Measure(x, p.command);
            p.ms.push_back(s.ms);
            p.kb.push_back(static_cast<double>(s.rssKb));
            std::printf("round %d %-12s %7.1f ms %7.1f MB\n", round + 1, p.name.c_str(), s.ms,
                        s.rssKb / 1024.0);
        }
    }
    for (const Program& p : programs)
        std::printf("%-12s median %6.1f ms, %5.1f MB resident after 2 s\n", p.name.c_str(),
                    Median(p.ms), Median(p.kb) / 1024.0);
    const double e = Median(programs[0].ms), t = Median(programs[1].ms), b = Median(programs[2].ms);
    const double ek = Median(programs[0].kb) / 1024.0, tk = Median(programs[1].kb) / 1024.0,
                 bk = Median(programs[2].kb) / 1024.0;
    std::printf("PortBench against the empty window: start-up ratio %.2f (goal 1.30 at most), "
                "memory %+.1f MB (goal +8.0 at most)\n",
                b / e, bk - ek);
    std::printf("PortBench against the text window:  start-up ratio %.2f, memory %+.1f MB\n", b / t,
                bk - tk);
    std::printf("the text window against the empty window: start-up ratio %.2f, memory %+.1f MB "
                "(the floor of a window with Chinese text)\n",
                t / e, tk - ek);
    for (int i = 3; i < count; ++i)
        std::printf("%s against the text window: start-up ratio %.2f, memory %+.1f MB\n",
                    programs[i].name.c_str(), Median(programs[i].ms) / t,
                    Median(programs[i].kb) / 1024.0 - tk);
    xcb_disconnect(x);
    if (xvfb > 0) {
        ::kill(xvfb, SIGTERM);
        ::waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
