#include "commands.h"

#include "calibrate_run.h"
#include "cell_session.h"
#include "check_run.h"
#include "console.h"
#include "formats.h"
#include "guard.h"
#include "outcomes.h"
#include "output.h"
#include "portline.h"
#include "read_run.h"
#include "units.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace loadcell {
namespace {

void Error(const Invocation& inv, const std::string& text) {
    std::fprintf(stderr, "loadcell: %s: %s\n", CommandName(inv.command), text.c_str());
}

bool Say(const std::string& line) {
    return Stdout().Line(line);
}

int Interrupted(const Invocation& inv) {
    Error(inv, inv.command == Command::Assign ? "interrupted before the write: nothing written"
                                              : "interrupted");
    return kExitSignalBase + StopSignal();
}

int PortLost(const Invocation& inv, const std::string& why) {
    Error(inv, "the port was lost: " + why);
    return kExitPortLost;
}

// A full disk or an I/O error on standard output outweighs the command's own outcome; a
// closed pipe only means that nobody reads any more.
int Finished(const Invocation& inv, int status) {
    if (Stdout().Failed() && !Stdout().Gone()) {
        Error(inv, "cannot write the output: " + Stdout().Why());
        return kExitCannotWrite;
    }
    return status;
}

std::vector<int> Range(const Invocation& inv) {
    std::vector<int> addresses;
    for (int address = inv.from; address <= inv.to; ++address)
        addresses.push_back(address);
    return addresses;
}

// Patience for the address write and its read-back: they are made once, so they wait
// long enough for a slow cell even without --settle.
int WritePatience(const Invocation& inv) {
    return std::max(inv.settleMs, 3 * kWindowMs);
}

int RunScan(const Invocation& inv, CellSession& session) {
    const Survey survey = SurveyLine(
        session, "scan", Range(inv), inv.settleMs,
        [](int address) { Say(std::to_string(address)); },
        [&](const std::string& text) { Error(inv, text); });
    if (!survey.lost.empty()) return PortLost(inv, survey.lost);
    if (survey.interrupted) return Interrupted(inv);
    if (survey.echo) Error(inv, "the adapter echoes what it sends; its echoes are not cells");
    if (survey.cells.empty()) {
        Error(inv, "no cell answered at addresses " + survey.probed);
        return kExitNoAnswer;
    }
    return kExitOk;
}

int RunAddress(const Invocation& inv, CellSession& session) {
    const Heard heard = session.Ask(Request::Read, kAnyAddress, inv.settleMs, [](const Heard& h) {
        return h.Garbled() || JudgeHeard(h, kAnyAddress, kNothingAsked).reading == Reading::Good;
    });
    const CellReading r = JudgeHeard(heard, kAnyAddress, kNothingAsked);
    if (r.reading == Reading::Good) {
        Say(std::to_string(heard.frames[0].address));
        return kExitOk;
    }
    if (heard.Nothing()) {
        const std::string lost = session.Lost();
        if (!lost.empty()) return PortLost(inv, lost);
    }
    if (StopRequested()) return Interrupted(inv);
    std::string why;
    switch (r.reading) {
    case Reading::EchoOnly:
        why = "only the adapter's echo of the request came back";
        break;
    case Reading::Several: {
        std::vector<int> named;
        for (const ReplyFrame& frame : heard.frames)
            named.push_back(frame.address);
        why = "more than one cell answered (addresses " + AddressList(named) + "); use scan";
        break;
    }
    case Reading::Garbled:
        why = "a garbled or cut-short reply (two cells answering at once look like this)";
        break;
    default:
        why = "no reply";
        break;
    }
    Error(inv, "no cell reported its address (" + why + ")");
    return kExitNoAnswer;
}

// The write's result in the library's terms, for JudgeAssign: accepted, an address from
// the address form, no start byte for bytes that answer nothing, no reply for silence.
int32_t WriteResult(const Heard& heard, int& answers) {
    int32_t result = heard.Garbled() ? kResultNoStartByte : kResultNoReply;
    answers = 0;
    for (const ReplyFrame& frame : heard.frames) {
        if (frame.kind == ReplyFrame::Kind::Reading) continue;
        if (++answers == 1)
            result = frame.kind == ReplyFrame::Kind::Accepted ? PORTLINE_CELL_WRITE_ACCEPTED
                                                              : frame.address;
    }
    return result;
}

int RunAssign(const Invocation& inv, CellSession& session) {
    // Address 0 first: every cell answers it, so two cells collide there even when one
    // lies outside the range probed. The new address is probed too: a cell already
    // there would otherwise end up sharing its address with the one written.
    std::vector<int> addresses = Range(inv);
    addresses.insert(addresses.begin(), kAnyAddress);
    if (inv.newAddress < inv.from || inv.newAddress > inv.to) addresses.push_back(inv.newAddress);
    const Survey survey = SurveyLine(
        session, "guard", addresses, inv.settleMs, [](int) {},
        [&](const std::string& text) { Error(inv, text); });
    if (!survey.lost.empty()) return PortLost(inv, survey.lost);
    if (survey.interrupted) return Interrupted(inv);
    if (!survey.OneCell()) {
        if (!inv.force) {
            Error(inv, "refused: " + survey.Seen() +
                           "; the address write reaches every cell on the line, so connect "
                           "only the one to be addressed (--force writes all the same); "
                           "nothing written");
            return kExitRefused;
        }
        Say("guard " + survey.probed + ": " + survey.Seen() + "; writing all the same (--force)");
    } else {
        Say("guard " + survey.probed + ": one cell, at address " + std::to_string(survey.cells[0]) +
            (survey.echo ? " (behind an echoing adapter)" : ""));
    }
    if (StopRequested()) return Interrupted(inv);

    const Heard write =
        session.Ask(Request::SetAddress, inv.newAddress, WritePatience(inv), [](const Heard& h) {
            int answers = 0;
            return WriteResult(h, answers) != 0 && !h.Garbled();
        });
    int answers = 0;
    const int32_t written = WriteResult(write, answers);
    if (answers > 1)
        Error(inv, std::to_string(answers) + " cells answered the write: all of them took " +
                       std::to_string(inv.newAddress));
    // A late answer to the write would otherwise be read as the read-back's reply; the
    // read-back also takes only a whole reading that names the new address.
    session.Drain();
    CellReading back;
    for (int attempt = 0; attempt <= std::max(inv.retries, 1) && !StopRequested(); ++attempt) {
        const Heard heard =
            session.Ask(Request::Read, inv.newAddress, WritePatience(inv), [&](const Heard& h) {
                return JudgeHeard(h, inv.newAddress, kNothingAsked).reading == Reading::Good;
            });
        back = JudgeHeard(heard, inv.newAddress, kNothingAsked);
        if (back.reading == Reading::Good) break;
    }
    int32_t readBack = 0;
    std::string why;
    if (back.reading == Reading::Good)
        readBack = inv.newAddress;
    else if (back.reading == Reading::WrongAddress)
        readBack = back.named;
    else if (back.reading != Reading::NoReply && back.reading != Reading::EchoOnly) {
        readBack = -1;
        why = std::string("a reply that is no reading of it: ") + ReadingText(back.reading);
    }
    const AssignReport report = JudgeAssign(written, readBack, inv.newAddress, why);
    for (const std::string& line : report.lines)
        Say(line);
    if (!report.error.empty()) Error(inv, report.error);
    // Only a cell proven alone and found at its new address takes its calibration along.
    if (report.status == kExitOk && survey.OneCell()) {
        bool failed = false;
        const std::string told = FollowAssign(inv, survey.cells[0], inv.newAddress, failed);
        if (failed)
            Error(inv, told);
        else if (!told.empty())
            Say(told);
    }
    return report.status;
}

int RunSend(const Invocation& inv, CellSession& session) {
    const std::string text(inv.bytes.begin(), inv.bytes.end()); // holds no zero byte
    const std::string reply = WriteSendData(text.c_str());
    if (reply.empty()) {
        const std::string lost = session.Lost();
        if (!lost.empty()) return PortLost(inv, lost);
        Error(inv, "no reply within 80 ms");
        return kExitNoAnswer;
    }
    Say(HexText(reply));
    return kExitOk;
}

} // namespace

int RunCommand(const Invocation& inv) {
    CellSession session(inv);
    if (const auto problem = session.Open()) {
        Error(inv, "cannot open port '" + inv.port + "': " + problem->text);
        return problem->status;
    }
    int status = kExitUsage;
    switch (inv.command) {
    case Command::Scan:
        status = RunScan(inv, session);
        break;
    case Command::Address:
        status = RunAddress(inv, session);
        break;
    case Command::Assign:
        status = RunAssign(inv, session);
        break;
    case Command::Read:
        status = RunRead(inv, session);
        break;
    case Command::Check:
        status = RunCheck(inv, session);
        break;
    case Command::Calibrate:
        status = RunCalibrate(inv, session);
        break;
    case Command::Send:
        status = RunSend(inv, session);
        break;
    case Command::None:
        break;
    }
    session.Close();
    return Finished(inv, status);
}

} // namespace loadcell
