// The probe on Linux: the library's own steps say what failed, this file says it to the
// user with the exit status that goes with it.
#include "port_probe.h"

#include "com_name.h"
#include "open_probe.h"
#include "outcomes.h"

#include <cstring>

namespace loadcell {
namespace {

std::string Because(int error) {
    return std::string(" (") + std::strerror(error) + ")";
}

} // namespace

std::string PortDevice(const std::string& name) {
    return portline::ComNameDevice(name);
}

PortProblem WhyPortDidNotOpen(const std::string& name) {
    const portline::OpenProblem problem = portline::ProbeOpen(name);
    const std::string& device = problem.device;
    switch (problem.failure) {
    case portline::OpenFailure::Missing:
        return {kExitPortMissing,
                device + " is missing: no such port on this machine" + Because(problem.error)};
    case portline::OpenFailure::Busy:
        return {kExitPortBusy,
                device + " is busy: another program holds it" + Because(problem.error)};
    case portline::OpenFailure::NotPermitted:
        return {kExitNoPermission,
                device + " is not permitted to this user" + Because(problem.error) +
                    "; serial ports belong to the group dialout: sudo usermod -aG dialout "
                    "$USER, then log in again"};
    case portline::OpenFailure::NotSerial:
        return {kExitPortUnusable, device + " is not a serial port"};
    case portline::OpenFailure::NotSetUp:
        return {kExitPortUnusable, device + " refused to be set up as a serial port"};
    case portline::OpenFailure::Other:
        break;
    }
    return {kExitPortUnusable, device + " cannot be opened" + Because(problem.error)};
}

} // namespace loadcell
