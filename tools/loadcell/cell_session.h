// The port of one run and the exchanges loadcell makes on it. Every exchange goes
// through the library's raw exchange, WriteSendData, so that all reply bytes can be
// looked at; a reply slower than one 80 ms window is listened for in further windows,
// up to the run's settle time.
#ifndef LOADCELL_CELL_SESSION_H
#define LOADCELL_CELL_SESSION_H

#include "cell_frames.h"
#include "options.h"
#include "outcomes.h"
#include "port_probe.h"
#include "port_watch.h"

#include <functional>
#include <optional>
#include <string>

namespace loadcell {

// The library's reply window: WriteSendData listens 80 ms after it starts to write.
constexpr int kWindowMs = 80;

// One reading of one cell, as judged from all that came back.
struct CellReading {
    Reading reading = Reading::NoReply;
    int32_t code = 0;  // Good only
    int named = 0;     // Late and WrongAddress: the address the reply named
    bool echo = false; // the adapter echoed the request
};

// What was asked last when nothing was, or its replies can no longer come (a write,
// a port opened anew).
constexpr int kNothingAsked = -1;

// `heard` after asking `asked` (kAnyAddress: whichever cell), when `askedBefore` was
// asked last.
CellReading JudgeHeard(const Heard& heard, int asked, int askedBefore);

class CellSession {
  public:
    explicit CellSession(const Invocation& invocation) : inv_(invocation) {}
    ~CellSession() { Close(); }
    CellSession(const CellSession&) = delete;
    CellSession& operator=(const CellSession&) = delete;

    // Opens the port without a reader (loadcell only makes exchanges); on failure says why.
    std::optional<PortProblem> Open();
    void Close();
    // Opens the same port again once it is back; false when a stop came first.
    bool WaitForReturn();

    // Sends `request` for `argument` and listens until `enough` holds for what came, or
    // `patienceMs` have passed (at least one window), or a stop is asked for.
    Heard Ask(Request request, int argument, int patienceMs,
              const std::function<bool(const Heard&)>& enough);
    // Listens for one window without sending, for replies still on their way.
    Heard Drain();

    // A reading of `address`, made again up to --retries times while it fails.
    CellReading Read(int address);

    // Empty while the port is there; otherwise why it is not. Looked at only after an
    // exchange that heard nothing, as only a port that went silent can have gone.
    std::string Lost() const { return watch_.Lost(); }

  private:
    const Invocation& inv_;
    PortWatch watch_;
    bool open_ = false;
    int lastAsked_ = kNothingAsked;
};

} // namespace loadcell

#endif
