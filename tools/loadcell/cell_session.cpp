#include "cell_session.h"

#include "console.h"
#include "portline.h"

#include <chrono>

namespace loadcell {

CellReading JudgeHeard(const Heard& heard, int asked, int askedBefore) {
    CellReading result;
    result.echo = heard.echo;
    int mine = 0;
    const ReplyFrame* other = nullptr;
    for (const ReplyFrame& frame : heard.frames) {
        const bool reading = frame.kind == ReplyFrame::Kind::Reading;
        if (reading && (asked == kAnyAddress || frame.address == asked)) {
            if (++mine == 1) result.code = frame.code;
        } else if (!other) {
            other = &frame;
        }
    }
    if (mine == 1 && !heard.Garbled())
        result.reading = Reading::Good;
    else if (mine > 1)
        result.reading = Reading::Several;
    else if (heard.Garbled())
        result.reading = Reading::Garbled;
    else if (other) {
        // A write's answer here can only be a late one; a reading names its cell.
        const bool late = other->kind != ReplyFrame::Kind::Reading || other->address == askedBefore;
        result.reading = late ? Reading::Late : Reading::WrongAddress;
        result.named = other->address;
    } else
        result.reading = heard.echo ? Reading::EchoOnly : Reading::NoReply;
    return result;
}

std::optional<PortProblem> CellSession::Open() {
    open_ = OpenPort(inv_.port.c_str(), inv_.params.c_str(), 0) == 1;
    if (!open_) return WhyPortDidNotOpen(inv_.port);
    watch_.Opened(PortDevice(inv_.port));
    return std::nullopt;
}

void CellSession::Close() {
    if (open_) ClosePort();
    open_ = false;
}

bool CellSession::WaitForReturn() {
    Close();
    while (PauseUnlessStopped(250)) {
        if (!watch_.Back()) continue;
        if (!Open()) {
            lastAsked_ = kNothingAsked;
            return true;
        }
    }
    return false;
}

Heard CellSession::Ask(Request request, int argument, int patienceMs,
                       const std::function<bool(const Heard&)>& enough) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const std::string frame = RequestFrame(request, argument);
    std::string bytes = WriteSendData(frame.c_str());
    Heard heard = Hear(frame, bytes);
    while (!enough(heard) && !StopRequested() &&
           Clock::now() - start < std::chrono::milliseconds(patienceMs)) {
        // An empty text writes nothing and hands back what came in its window.
        bytes += WriteSendData("");
        heard = Hear(frame, bytes);
    }
    lastAsked_ = request == Request::Read ? argument : kNothingAsked;
    return heard;
}

Heard CellSession::Drain() {
    return Hear("", WriteSendData(""));
}

CellReading CellSession::Read(int address) {
    CellReading reading;
    for (int attempt = 0; attempt <= inv_.retries && !StopRequested(); ++attempt) {
        const int before = lastAsked_;
        const Heard heard = Ask(Request::Read, address, inv_.settleMs, [address](const Heard& h) {
            return JudgeHeard(h, address, kNothingAsked).reading == Reading::Good;
        });
        reading = JudgeHeard(heard, address, before);
        if (reading.reading == Reading::Good) break;
        if (heard.Nothing() && !Lost().empty()) break;
    }
    return reading;
}

} // namespace loadcell
