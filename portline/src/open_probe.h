// Why a port does not open. OpenPort says only whether it opened, so a tool that must
// tell the user why opens the device once more here, with the library's own steps.
#ifndef PORTLINE_OPEN_PROBE_H
#define PORTLINE_OPEN_PROBE_H

#include <string>

namespace portline {

enum class OpenFailure {
    Missing,      // no such device, or it hung up
    Busy,         // another program holds it
    NotPermitted, // the user may not open it
    NotSerial,    // it opened but is no terminal
    NotSetUp,     // it opened and could be held, yet the serial settings were refused
    Other,        // any other refusal of the open
};

struct OpenProblem {
    std::string device; // the node the name stands for
    OpenFailure failure = OpenFailure::Other;
    int error = 0; // the system's error number; 0 where the system gave none
};

OpenProblem ProbeOpen(const std::string& name);

} // namespace portline

#endif
