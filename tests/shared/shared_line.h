// What the cases shared by the Linux and the Windows tests ask of a platform's line: a
// bench playing the device with portsim's options ("--echo", "--silent",
// "--cell 3:74565"), and Portline's port open on the other side. Linux plays it on a
// pseudo-terminal (tests/portline/pty_line.h), Windows on a COM port under Wine
// (tests/windows/device_agent.h). A platform's `Line` gives:
//
//   Line(options, startReader = 1)   the bench started, OpenPort(..., startReader) made
//   bool opened                      whether the open succeeded
//   Send(bytes)                      bytes towards the port
//   Reconfigure(options)             new options for the running bench
//   WaitingAtPort()                  bytes sent towards the port that it has not read
//   Received(), ClearReceived()      what the port sent to the device since the start
//   WaitReceived(count, timeoutMs)   whether `count` bytes came within the time
//   PolledText(sent)                 what polling as the host does hands on of `sent`
//
// and closes the port and stops the bench when it goes.
#ifndef PORTBENCH_TESTS_SHARED_SHARED_LINE_H
#define PORTBENCH_TESTS_SHARED_SHARED_LINE_H

#include <cstdio>
#include <string>

namespace cases {

// Bytes as "41 42 43".
inline std::string Hex(const std::string& bytes) {
    std::string text;
    char pair[4];
    for (unsigned char b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", b);
        text += pair;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

} // namespace cases

#endif
