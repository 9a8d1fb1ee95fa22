// The two checks of the receive path that many tests end with, on a pseudo-terminal.
#ifndef PORTLINE_TESTS_PTY_RECEIVE_H
#define PORTLINE_TESTS_PTY_RECEIVE_H

#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"

#include <gtest/gtest.h>

#include <string>

namespace ptytest {

// The held port, its reader settled, hands on what the device sends next.
inline void ExpectHandedOn(PtyDevice& device, const std::string& text) {
    Settle();
    ReadAllPort();
    device.Send(text);
    EXPECT_EQ(Joined(PollTexts(text.size(), 5000)), text);
}

// Bytes sent while no request stands wait at the port through `pauseMs`; the next call
// returns `earlier` (what the reader read before), and the polls after it hand the bytes on.
inline void ExpectTheyWaitForARequest(PtyDevice& device, const std::string& text, int pauseMs,
                                      const char* earlier) {
    device.Send(text);
    SleepMs(pauseMs);
    EXPECT_EQ(device.WaitingAtPort(), static_cast<int>(text.size()))
        << "the reader took bytes nobody asked for";
    EXPECT_STREQ(ReadAllPort(), earlier);
    EXPECT_EQ(Joined(PollTexts(text.size(), 5000)), text);
}

} // namespace ptytest

#endif
