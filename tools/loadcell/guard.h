// What answers on the line: the probes behind scan and behind the one-cell guard of
// assign. Every whole reply counts for the address it names, whichever probe it came
// to, so a cell whose replies come late is still counted once, at its own address.
#ifndef LOADCELL_GUARD_H
#define LOADCELL_GUARD_H

#include "cell_session.h"

#include <functional>
#include <string>
#include <vector>

namespace loadcell {

struct Survey {
    std::vector<int> cells;   // the addresses whole replies named, as first found
    std::vector<int> garbled; // probes that heard bytes forming no whole reply
    std::vector<int> doubled; // probes that heard more than one reply naming one address
    bool echo = false;        // the adapter echoes what it sends
    bool interrupted = false;
    std::string lost;   // why the port went away, empty while it is there
    std::string probed; // "1-191", "0 and 1-191"

    // Exactly one cell, and nothing that might hide a second one.
    bool OneCell() const { return cells.size() == 1 && garbled.empty() && doubled.empty(); }
    // What the survey saw, for a refusal: "cells at addresses 1 and 50", ...
    std::string Seen() const;
};

// Probes each of `addresses` once (0 asks whichever cell), then listens one window
// more for a reply to the last probe that comes late. `found` is told each cell when
// it is first heard; `note` gets the remarks (a reply under another address).
// `label` names the progress bar drawn on a terminal.
Survey SurveyLine(CellSession& session, const char* label, const std::vector<int>& addresses,
                  int settleMs, const std::function<void(int)>& found,
                  const std::function<void(const std::string&)>& note);

} // namespace loadcell

#endif
