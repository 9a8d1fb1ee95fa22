// The Linux line of the shared cases (tests/shared/shared_line.h): the virtual load-cell
// bench on a pseudo-terminal, read with portsim's own command line, and the library's port
// open on the other side.
#ifndef PORTLINE_TESTS_PTY_LINE_H
#define PORTLINE_TESTS_PTY_LINE_H

#include "hand_over.h"
#include "options.h"
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"

#include <portsim/bench.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace ptytest {

// "--cell 3:74565 --echo" as portsim reads it; a text it refuses fails the test.
inline portsim::Config BenchConfig(const std::string& options) {
    std::vector<std::string> args{"portsim"};
    std::istringstream words(options);
    for (std::string word; words >> word;)
        args.push_back(word);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    portsim::Options parsed;
    std::string error;
    if (portsim::ParseOptions(static_cast<int>(argv.size()), argv.data(), parsed, error) !=
        portsim::ParseOutcome::Run)
        ADD_FAILURE() << options << ": " << error;
    return parsed.config;
}

class PtyLine {
  public:
    explicit PtyLine(const std::string& options, int32_t startReader = 1)
        : bench_(BenchConfig(options)) {
        // As at load, also when the whole test program runs in one process.
        portline::Reception.WithdrawRequest();
        portline::Reception.ForgetCount();
        if (!bench_.Start()) {
            ADD_FAILURE() << bench_.Error();
            return;
        }
        side_ = PtyEnd::Probe(bench_.DevicePath());
        opened = OpenPort(bench_.DevicePath().c_str(), "9600,n,8,1", startReader) == 1;
        Settle();
    }
    ~PtyLine() {
        ClosePort();
        side_.Close();
        bench_.Stop();
    }
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    void Send(const std::string& bytes) { bench_.Send(portsim::Bytes(bytes.begin(), bytes.end())); }
    void Reconfigure(const std::string& options) { bench_.Reconfigure(BenchConfig(options)); }
    int WaitingAtPort() const { return side_.Waiting(); }
    std::string Received() const {
        const portsim::Bytes bytes = bench_.Received();
        return std::string(bytes.begin(), bytes.end());
    }
    void ClearReceived() { bench_.ClearReceived(); }
    bool WaitReceived(size_t count, int timeoutMs) const {
        return bench_.WaitReceived(count, timeoutMs);
    }
    std::string PolledText(const std::string& sent, int timeoutMs = 5000) const {
        return Joined(PollTexts(sent.size(), timeoutMs));
    }

    bool opened = false;

  private:
    portsim::Bench bench_;
    PtyEnd side_; // the port's side, held to count what waits there
};

} // namespace ptytest

#endif
