#include "output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace loadcell {

bool Output::Line(const std::string& line) {
    if (error_) return false;
    errno = 0;
    const bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size() &&
                         std::fputc('\n', stdout) != EOF && std::fflush(stdout) == 0;
    if (!written || std::ferror(stdout)) error_ = errno ? errno : EIO;
    return !error_;
}

bool Output::Text(const std::string& text) {
    if (error_) return false;
    errno = 0;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    if (!written || std::ferror(stdout)) error_ = errno ? errno : EIO;
    return !error_;
}

bool Output::Gone() const {
    return error_ == EPIPE;
}

std::string Output::Why() const {
    return error_ ? std::strerror(error_) : "";
}

Output& Stdout() {
    static Output output;
    return output;
}

} // namespace loadcell
