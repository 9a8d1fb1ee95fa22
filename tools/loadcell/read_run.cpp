#include "read_run.h"

#include "console.h"
#include "formats.h"
#include "output.h"
#include "schedule.h"
#include "statistics.h"
#include "units.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace loadcell {
namespace {

std::string Now() {
    return IsoTime(std::chrono::system_clock::now());
}

void Error(const std::string& text) {
    std::fprintf(stderr, "loadcell: read: %s\n", text.c_str());
}

// What became of the port in a round.
enum class PortState { There, Lost, Back };

} // namespace

int RunRead(const Invocation& inv, CellSession& session) {
    std::vector<CellStatistics> statistics(inv.addresses.size());
    std::vector<std::optional<CellCalibration>> calibrations(inv.addresses.size());
    if (inv.units) {
        std::string error;
        if (!CalibrationsFor(inv, inv.addresses, calibrations, error)) {
            Error(error);
            return kExitBadData;
        }
    }
    const std::string column = inv.units ? calibrations[0]->unit : "code";
    Output& out = Stdout();
    const std::string header = ReadingHeader(inv.format, column);
    if (!header.empty()) out.Line(header);

    using Clock = std::chrono::steady_clock;
    RoundSchedule schedule(Clock::now(), std::chrono::milliseconds(inv.intervalMs));
    bool lost = false;
    long long rounds = 0;
    while (!out.Failed() && !StopRequested() && (inv.follow || rounds < inv.count)) {
        PortState port = PortState::There;
        for (size_t i = 0; i < inv.addresses.size() && !StopRequested() && !out.Failed(); ++i) {
            const int address = inv.addresses[i];
            const CellReading r = session.Read(address);
            if (StopRequested()) break;
            if (r.reading == Reading::NoReply || r.reading == Reading::EchoOnly) {
                const std::string why = session.Lost();
                if (!why.empty()) {
                    Error("the port was lost: " + why +
                          (inv.reconnect ? "; waiting for it to come back" : ""));
                    out.Line(EventLine(inv.format, Now(), "port lost: " + why));
                    if (!inv.reconnect || !session.WaitForReturn()) {
                        lost = !inv.reconnect;
                        port = PortState::Lost;
                        break;
                    }
                    Error("the port is back");
                    out.Line(EventLine(inv.format, Now(), "port back"));
                    port = PortState::Back;
                    break;
                }
            }
            if (r.reading == Reading::Good)
                statistics[i].AddReading(r.code);
            else
                statistics[i].AddFailure();
            if (r.reading == Reading::Late || r.reading == Reading::WrongAddress)
                Error("address " + std::to_string(address) + ": the reply named address " +
                      std::to_string(r.named) +
                      " and is not taken as a reading of this cell (--settle gives slow cells "
                      "more time)");
            std::string value = std::to_string(r.code);
            if (calibrations[i]) value = Weight(*calibrations[i], r.code);
            out.Line(ReadingLine(inv.format, Now(), address, r.reading, value, column));
        }
        if (port == PortState::Lost || StopRequested()) break;
        if (port == PortState::Back) {
            // The round cut short by the gap is made again, on a fresh schedule.
            schedule.Restart(Clock::now());
            continue;
        }
        ++rounds;
        if (inv.follow || rounds < inv.count) PauseUntil(schedule.Next(Clock::now()));
    }

    const std::string summaryHeader = SummaryHeader(inv.format);
    if (!summaryHeader.empty()) std::fprintf(stderr, "%s\n", summaryHeader.c_str());
    bool anyFailed = false;
    for (size_t i = 0; i < inv.addresses.size(); ++i) {
        std::fprintf(stderr, "%s\n",
                     SummaryLine(inv.format, inv.addresses[i], statistics[i]).c_str());
        anyFailed = anyFailed || statistics[i].Failed() > 0;
    }
    if (StopRequested()) return kExitSignalBase + StopSignal();
    if (lost) return kExitPortLost;
    return anyFailed ? kExitNoAnswer : kExitOk;
}

} // namespace loadcell
