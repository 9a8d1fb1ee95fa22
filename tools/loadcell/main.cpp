// loadcell: commissioning load cells from the command line.
#include "commands.h"
#include "console.h"
#include "options.h"
#include "outcomes.h"
#include "usage.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    loadcell::Invocation invocation;
    std::string error;
    if (!loadcell::ParseArguments(args, std::getenv("LOADCELL_PORT"), invocation, error)) {
        std::fprintf(stderr, "loadcell: %s\n", error.c_str());
        return loadcell::kExitUsage;
    }
    if (invocation.version) {
        std::fputs("loadcell (PortBench) " LOADCELL_VERSION "\n", stdout);
        return loadcell::kExitOk;
    }
    if (invocation.help) {
        std::fputs(loadcell::HelpText(invocation.command).c_str(), stdout);
        return loadcell::kExitOk;
    }
    loadcell::CatchStopSignals();
    return loadcell::RunCommand(invocation);
}
