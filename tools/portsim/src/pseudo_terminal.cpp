#include "pseudo_terminal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace portsim {

namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool SetFlag(int fd, int getCmd, int setCmd, int flag) {
    int flags = ::fcntl(fd, getCmd);
    return flags >= 0 && ::fcntl(fd, setCmd, flags | flag) == 0;
}

} // namespace

bool OpenPty(Pty& pty, std::string& error) {
    termios raw{};
    ::cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&raw, B9600);
    ::cfsetospeed(&raw, B9600);
    if (::openpty(&pty.master, &pty.subordinate, nullptr, &raw, nullptr) != 0) {
        error = SystemError("openpty");
        return false;
    }
    char name[PATH_MAX];
    bool ok = ::ptsname_r(pty.master, name, sizeof name) == 0;
    if (!ok) error = SystemError("ptsname");
    // Our own children (the port's tests start programs) must not inherit the line.
    if (ok && !(SetFlag(pty.master, F_GETFL, F_SETFL, O_NONBLOCK) &&
                SetFlag(pty.master, F_GETFD, F_SETFD, FD_CLOEXEC) &&
                SetFlag(pty.subordinate, F_GETFD, F_SETFD, FD_CLOEXEC))) {
        ok = false;
        error = SystemError("fcntl");
    }
    if (!ok) {
        ClosePty(pty);
        return false;
    }
    pty.path = name;
    return true;
}

void ClosePty(Pty& pty) {
    if (pty.subordinate >= 0) ::close(pty.subordinate);
    if (pty.master >= 0) ::close(pty.master);
    pty.subordinate = pty.master = -1;
}

bool MakeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = link + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        error = SystemError("symlink " + link);
        return false;
    }
    return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
    char buf[PATH_MAX];
    ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    if (n < 0) return;
    buf[n] = '\0';
    if (target == buf) ::unlink(link.c_str());
}

} // namespace portsim
