// The fixed pauses of the reader loops, ReadAllPort, ClearPort and the exchanges. They set
// the library's pace and are part of what callers rely on, so each is named here once.
//
// A caller that polls ReadAllPort must poll less often than one reader pass when a request
// stands (kReaderIdle + kReaderSettle, 150 ms): each call returns what the reader read after
// the call before, and calls closer than one pass can hand out nothing new, or the same text
// twice. PortBench's 170 ms receive poll is chosen longer than that pass for this reason.
#ifndef PORTLINE_PAUSE_H
#define PORTLINE_PAUSE_H

#include <chrono>
#include <thread>

namespace portline {

using std::chrono::milliseconds;

// TFormThread: how often it looks for the caller's request; also bounds how long a close
// waits for the reader to end.
inline constexpr milliseconds kReaderIdle{100};
// TFormThread, once it found the request: lets the rest of a burst arrive, and stays longer
// than kReadAllPort so that the caller's call has returned before the next text is written.
inline constexpr milliseconds kReaderSettle{50};
// AXThread between event waits: the most often it publishes a count.
inline constexpr milliseconds kWatcher{30};
// ReadAllPort, after asking for the next text: the caller's share of the hand-over, shorter
// than kReaderSettle.
inline constexpr milliseconds kReadAllPort{30};
// ClearPort, before it empties the reply texts and discards the input: lets a reply still
// on its way arrive so that it is discarded too.
inline constexpr milliseconds kClearPort{200};
// WriteSendData's reply window: a sent text's answer is what arrives within it.
inline constexpr milliseconds kSendReply{80};
// The load-cell read commands' reply window (QuillReadLoadCell, QuillReadLoadCellValue).
inline constexpr milliseconds kCellReadReply{50};
// The set-address command's reply window: the cell stores the address before it answers.
inline constexpr milliseconds kCellWriteReply{80};

inline void Sleep(milliseconds pause) {
    std::this_thread::sleep_for(pause);
}

} // namespace portline

#endif
