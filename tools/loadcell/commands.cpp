#include "commands.h"

#include "console.h"
#include "formats.h"
#include "outcomes.h"
#include "port_probe.h"
#include "portline.h"
#include "progress.h"
#include "statistics.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace loadcell {
namespace {

void Error(const Invocation& inv, const std::string& text) {
    std::fprintf(stderr, "loadcell: %s: %s\n", CommandName(inv.command), text.c_str());
}

// False once standard output is gone (a closed pipe): there is no one left to tell.
bool Say(const std::string& line) {
    std::fprintf(stdout, "%s\n", line.c_str());
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

int Interrupted(const Invocation& inv) {
    Error(inv, inv.command == Command::Assign ? "interrupted before the write: nothing written"
                                              : "interrupted");
    return kExitInterrupted;
}

// The port for the whole run; closed however the command ends.
class PortSession {
  public:
    ~PortSession() {
        if (open_) ClosePort();
    }
    // No reader: loadcell never asks for received text, only for exchanges.
    bool Open(const Invocation& inv) {
        open_ = OpenPort(inv.port.c_str(), inv.params.c_str(), 0) == 1;
        return open_;
    }

  private:
    bool open_ = false;
};

std::string Range(const Invocation& inv) {
    return std::to_string(inv.from) + "-" + std::to_string(inv.to);
}

struct ScanResult {
    std::vector<int> found;
    bool interrupted = false;
};

// Probes each address with the read-address exchange and gathers the addresses the
// replies report. `list` writes each one as a line of its own when it first comes.
ScanResult Scan(const Invocation& inv, const std::vector<int>& addresses, bool list) {
    ScanResult result;
    ScanProgress progress(stderr, static_cast<int>(addresses.size()));
    for (size_t i = 0; i < addresses.size(); ++i) {
        const int address = addresses[i];
        if (StopRequested()) {
            result.interrupted = true;
            break;
        }
        progress.Probing(address, static_cast<int>(i));
        const int32_t r = QuillReadLoadCell(address);
        if (IsCellAddress(r)) {
            // The cell is where its reply says: a reply that came too late for its own
            // probe is read by the next one, and must not move the cell there.
            progress.Wipe();
            if (r != address)
                Error(inv, "address " + std::to_string(address) + " answered as address " +
                               std::to_string(r) + " (a late or stray reply)");
            if (std::find(result.found.begin(), result.found.end(), r) != result.found.end())
                continue;
            result.found.push_back(r);
            if (list && !Say(std::to_string(r))) break;
        } else if (r != 0) {
            progress.Wipe();
            Error(inv, "address " + std::to_string(address) + ": " + WhyNoAddress(r) +
                           ", not counted as a cell");
        }
    }
    return result;
}

std::vector<int> ScanRange(const Invocation& inv) {
    std::vector<int> addresses;
    for (int address = inv.from; address <= inv.to; ++address)
        addresses.push_back(address);
    return addresses;
}

int RunScan(const Invocation& inv) {
    const ScanResult scan = Scan(inv, ScanRange(inv), true);
    if (scan.interrupted) return Interrupted(inv);
    if (scan.found.empty()) {
        Error(inv, "no cell answered at addresses " + Range(inv));
        return kExitNoAnswer;
    }
    return kExitOk;
}

int RunAddress(const Invocation& inv) {
    const int32_t r = QuillReadLoadCell(0);
    if (!IsCellAddress(r)) {
        Error(inv, "no cell reported its address (" + WhyNoAddress(r) + ")");
        return kExitNoAnswer;
    }
    Say(std::to_string(r));
    return kExitOk;
}

int RunAssign(const Invocation& inv) {
    // The new address is probed too: a cell already there, outside the range, would
    // otherwise end up sharing its address with the one written.
    std::vector<int> addresses = ScanRange(inv);
    const bool newInRange = inv.newAddress >= inv.from && inv.newAddress <= inv.to;
    if (!newInRange) addresses.push_back(inv.newAddress);
    const ScanResult scan = Scan(inv, addresses, false);
    if (scan.interrupted) return Interrupted(inv);
    if (scan.found.size() > 1) {
        Error(inv, RefusalText(scan.found));
        return kExitRefused;
    }
    const std::string scanned =
        "scan " + Range(inv) + (newInRange ? "" : " and " + std::to_string(inv.newAddress));
    Say(scan.found.empty()
            ? scanned + ": no cell answered; writing to whichever cell is on the line"
            : scanned + ": one cell, at address " + std::to_string(scan.found[0]));
    if (StopRequested()) return Interrupted(inv);
    const int32_t written = QuillWriteLoadCell(inv.newAddress);
    const int32_t readBack = QuillReadLoadCell(inv.newAddress);
    const AssignReport report = JudgeAssign(written, readBack, inv.newAddress);
    for (const std::string& line : report.lines)
        Say(line);
    if (!report.error.empty()) Error(inv, report.error);
    return report.status;
}

int RunRead(const Invocation& inv) {
    std::vector<CellStatistics> statistics(inv.addresses.size());
    bool outputGone = false;
    const std::string header = ReadingHeader(inv.format);
    if (!header.empty()) outputGone = !Say(header);

    using Clock = std::chrono::steady_clock;
    for (long long round = 0; !outputGone && (inv.follow || round < inv.count); ++round) {
        const Clock::time_point start = Clock::now();
        for (size_t i = 0; i < inv.addresses.size() && !StopRequested(); ++i) {
            const int32_t v = QuillReadLoadCellValue(inv.addresses[i]);
            const std::string time = IsoTime(std::chrono::system_clock::now());
            const Reading reading = JudgeReading(v);
            if (reading == Reading::Good)
                statistics[i].AddReading(v);
            else
                statistics[i].AddFailure();
            if (!Say(ReadingLine(inv.format, time, inv.addresses[i], reading, v))) {
                outputGone = true;
                break;
            }
        }
        if (StopRequested()) break;
        const bool more = inv.follow || round + 1 < inv.count;
        const auto spent =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (more && spent < inv.intervalMs &&
            !PauseUnlessStopped(static_cast<int>(inv.intervalMs - spent)))
            break;
    }

    const std::string summaryHeader = SummaryHeader(inv.format);
    if (!summaryHeader.empty()) std::fprintf(stderr, "%s\n", summaryHeader.c_str());
    bool anyFailed = false;
    for (size_t i = 0; i < inv.addresses.size(); ++i) {
        std::fprintf(stderr, "%s\n",
                     SummaryLine(inv.format, inv.addresses[i], statistics[i]).c_str());
        anyFailed = anyFailed || statistics[i].Failed() > 0;
    }
    return anyFailed ? kExitNoAnswer : kExitOk;
}

int RunSend(const Invocation& inv) {
    const std::string text(inv.bytes.begin(), inv.bytes.end()); // holds no zero byte
    const std::string reply = WriteSendData(text.c_str());
    if (reply.empty()) {
        Error(inv, "no reply within 80 ms");
        return kExitNoAnswer;
    }
    Say(HexText(reply));
    return kExitOk;
}

} // namespace

int RunCommand(const Invocation& inv) {
    PortSession port;
    if (!port.Open(inv)) {
        Error(inv, "cannot open port '" + inv.port + "': " + WhyPortDidNotOpen(inv.port));
        return kExitBadInput;
    }
    switch (inv.command) {
    case Command::Scan:
        return RunScan(inv);
    case Command::Address:
        return RunAddress(inv);
    case Command::Assign:
        return RunAssign(inv);
    case Command::Read:
        return RunRead(inv);
    case Command::Send:
        return RunSend(inv);
    case Command::None:
        break;
    }
    return kExitBadInput;
}

} // namespace loadcell
