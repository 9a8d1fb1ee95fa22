// What a shell command prints on stdout, for tests that ask the system's own tools.
#pragma once

#include <cstdio>
#include <string>

namespace loadcelltest {

inline std::string Shell(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return output;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    ::pclose(pipe);
    return output;
}

} // namespace loadcelltest
