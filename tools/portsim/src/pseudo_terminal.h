// The pseudo-terminal the bench plays on, and the symbolic link to its device side.
#ifndef PORTSIM_PSEUDO_TERMINAL_H
#define PORTSIM_PSEUDO_TERMINAL_H

#include <string>

namespace portsim {

struct Pty {
    int master = -1;      // the bench's end: non-blocking, raw
    int subordinate = -1; // held open (never read) so the line does not hang up between opens
    std::string path;     // the device side, e.g. /dev/pts/5
};

// Opens a raw pseudo-terminal pair. False with `error` set on failure.
bool OpenPty(Pty& pty, std::string& error);
void ClosePty(Pty& pty);

// Points `link` at `target`, replacing an old symbolic link but nothing else.
bool MakeLink(const std::string& link, const std::string& target, std::string& error);
// Removes `link` if it still points at `target`.
void RemoveLink(const std::string& link, const std::string& target);

} // namespace portsim

#endif
