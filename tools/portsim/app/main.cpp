// portsim: the virtual load-cell bench as a program.
#include "options.h"
#include "portsim/bench.h"

#include <csignal>
#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    portsim::Options options;
    std::string error;
    switch (portsim::ParseOptions(argc, argv, options, error)) {
    case portsim::ParseOutcome::Help:
        std::cout << portsim::UsageText() << std::flush;
        return 0;
    case portsim::ParseOutcome::Error:
        std::cerr << "portsim: " << error << "\nTry 'portsim --help' for more information.\n";
        return 2;
    case portsim::ParseOutcome::Run:
        break;
    }

    // Block the stop signals before the worker starts, so that it inherits the
    // mask and only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    portsim::Bench bench(options.config);
    if (!bench.Start(options.linkPath)) {
        std::cerr << "portsim: " << bench.Error() << "\n";
        return 1;
    }
    std::cout << bench.DevicePath() << std::endl;
    if (!options.linkPath.empty())
        std::cerr << "portsim: " << options.linkPath << " -> " << bench.DevicePath() << "\n";
    std::cerr << "portsim: running; stop with Ctrl+C\n";

    int signal = 0;
    sigwait(&stopSignals, &signal);
    bench.Stop();
    return 0;
}
