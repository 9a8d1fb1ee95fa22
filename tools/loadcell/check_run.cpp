#include "check_run.h"

#include "check_record.h"
#include "console.h"
#include "formats.h"
#include "ini_file.h"
#include "limits_file.h"
#include "output.h"
#include "progress.h"
#include "report_html.h"
#include "schedule.h"
#include "units.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace loadcell {
namespace {

void Error(const std::string& text) {
    std::fprintf(stderr, "loadcell: check: %s\n", text.c_str());
}

// One line of the readings file, in read's CSV (the code column named by the unit).
struct ReadingRow {
    std::string time;
    int address = 0;
    Reading reading = Reading::NoReply;
    int32_t code = 0;
};

std::string ReadingsCsv(const std::vector<ReadingRow>& rows, const std::vector<CellRecord>& cells) {
    const bool units = !cells.empty() && cells[0].calibration;
    std::string text =
        "time,address," + (units ? cells[0].calibration->unit : "code") + ",status\n";
    for (const ReadingRow& row : rows) {
        std::string value;
        if (row.reading == Reading::Good) {
            value = std::to_string(row.code);
            for (const CellRecord& cell : cells)
                if (units && cell.address == row.address) {
                    const ShownFigures s = Shown(cell);
                    value = Decimal(s.Value(row.code), s.decimals);
                }
        }
        text += row.time + "," + std::to_string(row.address) + "," + value + "," +
                ReadingText(row.reading) + "\n";
    }
    return text;
}

} // namespace

int RunCheck(const Invocation& inv, CellSession& session) {
    LimitsTable table;
    std::string error;
    if (!inv.limitsPath.empty() && !ReadLimits(inv.limitsPath, table, error)) {
        Error(error);
        return kExitBadData;
    }
    std::vector<CellRecord> cells(inv.addresses.size());
    const Limits overrides{inv.maxNoise, inv.maxDrift, inv.maxFailures};
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i].address = inv.addresses[i];
        cells[i].limits = table.For(inv.addresses[i], overrides);
        // A commissioned cell gives every reading unless the limits allow some loss.
        if (!cells[i].limits.maxFailures) cells[i].limits.maxFailures = 0;
    }
    if (inv.units) {
        std::vector<std::optional<CellCalibration>> found;
        if (!CalibrationsFor(inv, inv.addresses, found, error)) {
            Error(error);
            return kExitBadData;
        }
        for (size_t i = 0; i < cells.size(); ++i)
            cells[i].calibration = found[i];
    }

    RunFacts facts;
    facts.date = IsoTime(std::chrono::system_clock::now());
    facts.port = inv.port;
    facts.params = inv.params;
    facts.version = LOADCELL_VERSION;
    facts.operatorName = inv.operatorName;
    facts.readingsAsked = inv.readings;
    facts.intervalMs = inv.intervalMs;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    RoundSchedule schedule(start, std::chrono::milliseconds(inv.intervalMs));
    std::vector<ReadingRow> rows;
    std::vector<long long> failures(cells.size(), 0);
    bool lost = false;
    {
        ScanProgress progress(stderr, inv.readings * static_cast<int>(cells.size()), "check");
        int index = 0;
        for (int round = 0; round < inv.readings && !StopRequested() && !lost; ++round) {
            for (size_t i = 0; i < cells.size() && !StopRequested(); ++i, ++index) {
                progress.Probing(cells[i].address, index);
                // Both clocks at the request, so that the readings file's times give
                // the same drift as the figures.
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                const std::string asked = IsoTime(std::chrono::system_clock::now());
                const CellReading r = session.Read(cells[i].address);
                if (StopRequested()) break;
                if (r.reading == Reading::NoReply || r.reading == Reading::EchoOnly) {
                    const std::string why = session.Lost();
                    if (!why.empty()) {
                        progress.Wipe();
                        Error("the port was lost: " + why);
                        facts.complete = false;
                        facts.stopped = "the port was lost: " + why;
                        lost = true;
                        break;
                    }
                }
                rows.push_back({asked, cells[i].address, r.reading, r.code});
                if (r.reading == Reading::Good)
                    cells[i].codes.push_back({seconds, r.code});
                else
                    ++failures[i];
            }
            if (round + 1 < inv.readings && !lost) PauseUntil(schedule.Next(Clock::now()));
        }
    }
    if (StopRequested()) {
        facts.complete = false;
        facts.stopped = "stopped by signal " + std::to_string(StopSignal()) + " after " +
                        std::to_string(rows.size()) + " of " +
                        std::to_string(inv.readings * cells.size()) + " readings";
    }

    bool anyFailed = false;
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i].figures = ComputeFigures(cells[i].codes, failures[i]);
        cells[i].verdict = JudgeFigures(cells[i].figures, cells[i].limits);
        anyFailed = anyFailed || !cells[i].verdict.pass;
    }

    switch (inv.checkFormat) {
    case CheckFormat::Table:
        Stdout().Text(CheckTable(facts, cells));
        break;
    case CheckFormat::Csv:
        Stdout().Text(CheckCsv(facts, cells));
        break;
    case CheckFormat::Json:
        Stdout().Text(CheckJson(facts, cells));
        break;
    }
    bool written = true;
    if (!inv.readingsOut.empty() &&
        !WriteFileAtomically(inv.readingsOut, ReadingsCsv(rows, cells), error)) {
        Error(error);
        written = false;
    }
    if (!inv.reportPath.empty() &&
        !WriteFileAtomically(inv.reportPath, ReportHtml(facts, cells), error)) {
        Error(error);
        written = false;
    }
    if (!facts.complete)
        Error("the record is partial (" + facts.stopped + ")" +
              (inv.readingsOut.empty() && inv.reportPath.empty() ? "" : "; written as it stands"));
    if (StopRequested()) return kExitSignalBase + StopSignal();
    if (lost) return kExitPortLost;
    if (!written) return kExitCannotWrite;
    return anyFailed ? kExitLimits : kExitOk;
}

} // namespace loadcell
