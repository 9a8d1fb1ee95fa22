#include "guard.h"

#include "console.h"
#include "progress.h"

#include <algorithm>

namespace loadcell {
namespace {

bool Has(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::string Probed(const std::vector<int>& addresses) {
    // Address 0 asks whichever cell: it is said apart from the addresses probed.
    std::string text;
    for (size_t i = 0; i < addresses.size();) {
        if (addresses[i] == kAnyAddress) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1)
            ++j;
        if (!text.empty()) text += j + 1 == addresses.size() ? " and " : ", ";
        text += std::to_string(addresses[i]);
        if (j > i) text += "-" + std::to_string(addresses[j]);
        i = j + 1;
    }
    return text;
}

} // namespace

std::string Survey::Seen() const {
    std::vector<std::string> parts;
    if (cells.empty())
        parts.push_back("no cell answered at " + probed);
    else if (cells.size() > 1)
        parts.push_back(std::to_string(cells.size()) + " cells answer (at addresses " +
                        AddressList(cells) + ")");
    else
        parts.push_back("one cell answered, at address " + std::to_string(cells[0]));
    if (!garbled.empty())
        parts.push_back("garbled replies (two cells answering at once look like this) at " +
                        AddressList(garbled));
    if (!doubled.empty())
        parts.push_back("more than one reply for address " + AddressList(doubled));
    if (echo) parts.push_back("the adapter echoes what it sends (echoes are not counted)");
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? "; " : "") + parts[i];
    return text;
}

Survey SurveyLine(CellSession& session, const char* label, const std::vector<int>& addresses,
                  int settleMs, const std::function<void(int)>& found,
                  const std::function<void(const std::string&)>& note) {
    Survey survey;
    survey.probed = Probed(addresses);
    ScanProgress progress(stderr, static_cast<int>(addresses.size()), label);
    auto take = [&](const Heard& heard, int asked) {
        int mine = 0;
        for (const ReplyFrame& frame : heard.frames) {
            if (frame.kind != ReplyFrame::Kind::Reading) continue;
            if (asked == kAnyAddress || frame.address == asked) ++mine;
            if (frame.address != asked && asked != 0) {
                progress.Wipe();
                note("address " + std::to_string(asked) + " answered as address " +
                     std::to_string(frame.address) + " (a late or stray reply)");
            }
            if (Has(survey.cells, frame.address)) continue;
            survey.cells.push_back(frame.address);
            progress.Wipe();
            found(frame.address);
        }
        if (mine > 1 && !Has(survey.doubled, asked)) survey.doubled.push_back(asked);
        if (heard.Garbled()) {
            survey.garbled.push_back(asked);
            progress.Wipe();
            note("address " + std::to_string(asked) +
                 ": a garbled or cut-short reply, not counted as a cell");
        }
        survey.echo = survey.echo || heard.echo;
    };
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (StopRequested()) {
            survey.interrupted = true;
            return survey;
        }
        const int address = addresses[i];
        progress.Probing(address, static_cast<int>(i));
        const Heard heard = session.Ask(Request::Read, address, settleMs, [&](const Heard& h) {
            return h.Garbled() || JudgeHeard(h, address, kNothingAsked).reading == Reading::Good;
        });
        take(heard, address);
        if (heard.Nothing() && !(survey.lost = session.Lost()).empty()) return survey;
    }
    if (!addresses.empty()) take(session.Drain(), addresses.back());
    survey.interrupted = StopRequested();
    return survey;
}

} // namespace loadcell
