// Why a port could not be opened, in the platform's own words. OpenPort says only
// whether it opened, so after a failure the device is tried here once more.
#ifndef LOADCELL_PORT_PROBE_H
#define LOADCELL_PORT_PROBE_H

#include <string>

namespace loadcell {

// The device a port name stands for, as the library opens it.
std::string PortDevice(const std::string& name);

struct PortProblem {
    int status; // the exit status it gives: missing, busy, not permitted, unusable
    // "/dev/ttyUSB0 is missing: no such port on this machine (...)" and the like; one line.
    std::string text;
};
PortProblem WhyPortDidNotOpen(const std::string& name);

} // namespace loadcell

#endif
