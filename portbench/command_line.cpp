#include "command_line.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char Usage[] =
    "Usage: portbench [--help | --version]\n"
    "Serial-port debugging terminal with load-cell commands; everything is set in its window.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "It needs a display (DISPLAY or WAYLAND_DISPLAY). SIGTERM, SIGHUP and SIGINT\n"
    "close the window as its close box does, releasing the port.\n";

} // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("portbench %s\n", PORTBENCH_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}
