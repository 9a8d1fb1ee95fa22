// The virtual load-cell bench on one side of a pseudo-terminal, the library's port open
// on the other, with the reader running.
#ifndef PORTLINE_TESTS_BENCH_PORT_H
#define PORTLINE_TESTS_BENCH_PORT_H

#include "poll_helpers.h"
#include "portline.h"

#include <portsim/bench.h>

#include <gtest/gtest.h>

#include <string>

namespace ptytest {

class BenchPort {
  public:
    explicit BenchPort(portsim::Config config = {}) : bench(std::move(config)) {
        if (bench.Start()) opened = OpenPort(bench.DevicePath().c_str(), "9600,n,8,1", 1) == 1;
        Settle();
    }
    ~BenchPort() {
        ClosePort();
        bench.Stop();
    }

    portsim::Bench bench;
    bool opened = false;
};

inline std::string Text(const portsim::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Runs `exchange` at every point of a reader pass that had found the request set,
// with bytes published for the reader to take, and returns everything the reader
// handed on meanwhile: the exchanges' replies must never be among it.
template <typename Exchange>
std::string HandedOnAroundExchanges(BenchPort& port, Exchange exchange) {
    std::string handedOn;
    for (int offset = 0; offset < 160; offset += 8) {
        SCOPED_TRACE(offset);
        port.bench.Send({'#', '#', '#', '#'});
        SleepMs(60);
        handedOn += ReadAllPort();
        SleepMs(offset);
        exchange();
    }
    return handedOn + Joined(PollTexts(1, 600));
}

} // namespace ptytest

#endif
