#include "open_probe.h"

#include "com_name.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace portline {

namespace {

OpenFailure FromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return OpenFailure::Missing;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::Busy;
    case EACCES:
    case EPERM:
        return OpenFailure::NotPermitted;
    default:
        return OpenFailure::Other;
    }
}

} // namespace

OpenProblem ProbeOpen(const std::string& name) {
    OpenProblem problem;
    problem.device = ComNameDevice(name);
    const int fd = open(problem.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem.error = errno;
        problem.failure = FromErrno(problem.error);
        return problem;
    }
    if (!isatty(fd)) {
        problem.failure = OpenFailure::NotSerial;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        problem.error = errno; // held by another program through its lock
        problem.failure = FromErrno(problem.error);
    } else {
        problem.failure = OpenFailure::NotSetUp;
    }
    close(fd); // also drops a lock taken above
    return problem;
}

} // namespace portline
