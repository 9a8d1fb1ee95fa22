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

struct AroundExchanges {
    std::string handedOn; // everything the reader handed on meanwhile
    int missed = 0;       // exchanges that did not get their expected reply
};

// Runs `exchange` (which says whether it got its expected reply) at every point of a
// reader pass that had found the request set, with bytes published for the reader to
// take. The exchanges' replies must never be among what the reader hands on.
// The bench must answer inside the library's fixed windows; a loaded machine now and
// then holds its thread past one, so a round with a missed reply is run again, up to
// three times. A reader that takes replies spoils every round.
template <typename Exchange>
AroundExchanges HandedOnAroundExchanges(BenchPort& port, Exchange exchange) {
    AroundExchanges round;
    for (int attempt = 0; attempt < 3; ++attempt) {
        round = {};
        for (int offset = 0; offset < 160; offset += 8) {
            port.bench.Send({'#', '#', '#', '#'});
            SleepMs(60);
            round.handedOn += ReadAllPort();
            SleepMs(offset);
            if (!exchange()) ++round.missed;
        }
        round.handedOn += Joined(PollTexts(1, 600));
        if (round.missed == 0 && round.handedOn.find_first_not_of('#') == std::string::npos) break;
    }
    return round;
}

} // namespace ptytest

#endif
