// portsim's exit statuses, from sysexits where one fits.
#ifndef PORTSIM_EXIT_STATUS_H
#define PORTSIM_EXIT_STATUS_H

#include <sysexits.h>

namespace portsim::status {

inline constexpr int kDone = 0;                  // --help, --version, or the --hangup-after end
inline constexpr int kUsage = EX_USAGE;          // 64: a bad option
inline constexpr int kSystem = EX_OSERR;         // 71: no pseudo-terminal, no process
inline constexpr int kCantCreate = EX_CANTCREAT; // 73: the --link or --pidfile cannot be made
inline constexpr int kOutput = EX_IOERR;         // 74: the ready line cannot be written
inline constexpr int kLinkHeld = EX_TEMPFAIL;    // 75: a running portsim holds the --link
inline constexpr int kSignalBase = 128;          // 128 + SIGHUP, SIGINT, SIGTERM: 129, 130, 143

} // namespace portsim::status

#endif
