#include "progress.h"

#include "console.h"

#include <string>

namespace loadcell {

ScanProgress::ScanProgress(std::FILE* stream, int probes, const char* label)
    : stream_(stream), shown_(IsTerminal(stream) && probes > 0), probes_(probes), label_(label) {}

ScanProgress::~ScanProgress() {
    Wipe();
}

void ScanProgress::Wipe() {
    if (!drawn_) return;
    std::fputs("\r\033[K", stream_); // back to the start of the line, then clear it
    std::fflush(stream_);
    drawn_ = false;
}

void ScanProgress::Probing(int address, int index) {
    if (!shown_) return;
    constexpr int kWidth = 24;
    const int total = probes_;
    const int done = index + 1;
    const int filled = kWidth * done / total;
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '.');
    std::fprintf(stream_, "\r%s [%s] address %d (%d of %d)", label_, bar.c_str(), address, done,
                 total);
    std::fflush(stream_);
    drawn_ = true;
}

} // namespace loadcell
