#include "link_claim.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace portsim {

namespace {

// The link's absolute path: its folder resolved, its own name as given (the
// link itself may not exist yet, or may point anywhere).
bool AbsoluteLink(const std::string& link, std::string& absolute, std::string& error) {
    size_t slash = link.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : link.substr(0, slash);
    std::string name = slash == std::string::npos ? link : link.substr(slash + 1);
    char resolved[PATH_MAX];
    if (name.empty() || name == "." || name == ".." || !::realpath(folder.c_str(), resolved)) {
        error = link + ": " + (name.empty() ? "names a folder" : std::strerror(errno));
        if (name == "." || name == "..") error = link + ": names a folder";
        return false;
    }
    absolute = std::string(resolved) + (std::string_view(resolved) == "/" ? "" : "/") + name;
    return true;
}

// FNV-1a: a socket name has room for 107 bytes, a path for many more.
uint64_t Fingerprint(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

sockaddr_un ClaimAddress(const std::string& absolute, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    char name[64];
    int n = std::snprintf(name, sizeof name, "portsim-link-%016llx",
                          static_cast<unsigned long long>(Fingerprint(absolute)));
    std::memcpy(address.sun_path + 1, name, static_cast<size_t>(n)); // [0] stays 0: abstract
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(n));
    return address;
}

pid_t Holder(const sockaddr_un& address, socklen_t length) {
    // Non-blocking: connections nobody accepts fill the queue, and then a wait would never end.
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0) return 0;
    pid_t pid = 0;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::getsockopt(probe, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0)
        pid = peer.pid;
    ::close(probe);
    return pid;
}

} // namespace

LinkClaim::~LinkClaim() {
    if (socket_ >= 0) ::close(socket_);
}

LinkClaim::Outcome LinkClaim::Claim(const std::string& link, pid_t& holder, std::string& error) {
    holder = 0;
    std::string absolute;
    if (!AbsoluteLink(link, absolute, error)) return Outcome::Failed;
    socklen_t length = 0;
    sockaddr_un address = ClaimAddress(absolute, length);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return Outcome::Failed;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        int why = errno;
        ::close(fd);
        if (why == EADDRINUSE) {
            holder = Holder(address, length);
            return Outcome::Held;
        }
        error = std::string("bind: ") + std::strerror(why);
        return Outcome::Failed;
    }
    // Listening lets a second portsim ask who holds the link.
    ::listen(fd, 4);
    socket_ = fd;
    return Outcome::Claimed;
}

} // namespace portsim
