// Linux: the library's descriptor is found under /proc/self/fd by the device it
// names, and polled with no wait; poll reports a hang-up without reading a byte.
#include "port_watch.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loadcell {
namespace {

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

int DescriptorOf(const std::string& target, dev_t rdev) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int found = -1;
    const int own = dirfd(dir);
    while (dirent* entry = readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] == '.' || fd == own) continue;
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || st.st_rdev != rdev) continue;
        char link[PATH_MAX];
        const std::string path = "/proc/self/fd/" + std::string(entry->d_name);
        const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
        if (n > 0 && target == std::string(link, static_cast<size_t>(n))) found = fd;
    }
    closedir(dir);
    return found;
}

} // namespace

void PortWatch::Opened(const std::string& device) {
    device_ = device;
    fd_ = -1;
    struct stat st {};
    if (stat(device.c_str(), &st) != 0) return;
    rdev_ = st.st_rdev;
    fd_ = DescriptorOf(RealPath(device), rdev_);
}

std::string PortWatch::Lost() const {
    if (fd_ >= 0) {
        pollfd p{fd_, 0, 0};
        if (poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return p.revents & POLLHUP ? "the device hung up" : "the device reports an error";
    }
    struct stat st {};
    if (stat(device_.c_str(), &st) != 0) return device_ + " is gone (" + std::strerror(errno) + ")";
    if (st.st_rdev != rdev_) return device_ + " now names another device";
    return "";
}

bool PortWatch::Back() const {
    return access(device_.c_str(), F_OK) == 0;
}

} // namespace loadcell
