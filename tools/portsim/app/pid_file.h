// The --pidfile: the playing process's id, for a script that stops it later.
#ifndef PORTSIM_PID_FILE_H
#define PORTSIM_PID_FILE_H

#include <string>
#include <unistd.h>

namespace portsim {

// Writes a process id (this process's by default) and a line break to `path`
// (replacing the file, atomically). False with `error` set on failure.
bool WritePidFile(const std::string& path, std::string& error, pid_t pid = ::getpid());
// Removes `path` if it still names this process.
void RemovePidFile(const std::string& path);

} // namespace portsim

#endif
