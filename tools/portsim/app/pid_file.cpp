#include "pid_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace portsim {

bool WritePidFile(const std::string& path, std::string& error, pid_t pid) {
    // Written beside and renamed over, so that a reader never sees half an id.
    std::string partial = path + ".part";
    FILE* file = std::fopen(partial.c_str(), "w");
    bool ok = file && std::fprintf(file, "%d\n", static_cast<int>(pid)) > 0;
    if (file && std::fclose(file) != 0) ok = false;
    if (ok && std::rename(partial.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        error = path + ": " + std::strerror(errno);
        ::unlink(partial.c_str());
    }
    return ok;
}

void RemovePidFile(const std::string& path) {
    std::ifstream file(path);
    long pid = 0;
    if (file >> pid && pid == ::getpid()) ::unlink(path.c_str());
}

} // namespace portsim
