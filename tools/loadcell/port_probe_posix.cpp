// The probe on Linux: open the device as the library does and read errno.
#include "port_probe.h"

#include "outcomes.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace loadcell {
namespace {

// "COM1" to "COM99999999" name /dev/ttyS0 onwards; COM0 names no port.
bool IsComName(const std::string& name) {
    if (name.size() < 4 || name.size() > 12) return false;
    for (size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return false;
    for (size_t i = 3; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return name.find_first_not_of('0', 3) != std::string::npos;
}

std::string Because(int error) {
    return std::string(" (") + std::strerror(error) + ")";
}

PortProblem FromErrno(const std::string& device, int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return {kExitPortMissing,
                device + " is missing: no such port on this machine" + Because(error)};
    case EBUSY:
    case EWOULDBLOCK:
        return {kExitPortBusy, device + " is busy: another program holds it" + Because(error)};
    case EACCES:
    case EPERM:
        return {kExitNoPermission,
                device + " is not permitted to this user" + Because(error) +
                    "; serial ports belong to the group dialout: sudo usermod -aG dialout "
                    "$USER, then log in again"};
    default:
        return {kExitPortUnusable, device + " cannot be opened" + Because(error)};
    }
}

} // namespace

std::string PortDevice(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    if (IsComName(name)) return "/dev/ttyS" + std::to_string(std::stoul(name.substr(3)) - 1);
    return "/dev/" + name;
}

PortProblem WhyPortDidNotOpen(const std::string& name) {
    const std::string device = PortDevice(name);
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FromErrno(device, errno);
    PortProblem why;
    if (!isatty(fd))
        why = {kExitPortUnusable, device + " is not a serial port"};
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        why = FromErrno(device, errno); // held by another program through its lock
    else
        why = {kExitPortUnusable, device + " refused to be set up as a serial port"};
    close(fd); // also drops a lock taken above
    return why;
}

} // namespace loadcell
