// The scan's progress bar, drawn on a stream only when it goes to a terminal.
#ifndef LOADCELL_PROGRESS_H
#define LOADCELL_PROGRESS_H

#include <cstdio>

namespace loadcell {

class ScanProgress {
  public:
    // `label` starts the bar's line: "scan", "guard".
    ScanProgress(std::FILE* stream, int probes, const char* label = "scan");
    ~ScanProgress(); // wipes the bar
    ScanProgress(const ScanProgress&) = delete;
    ScanProgress& operator=(const ScanProgress&) = delete;

    // The `index`-th probe (from 0) is asking `address`.
    void Probing(int address, int index);
    // Takes the bar off its line, so that other output can be written; the next
    // Probing draws it again.
    void Wipe();

  private:
    std::FILE* stream_;
    bool shown_;
    bool drawn_ = false;
    int probes_;
    const char* label_;
};

} // namespace loadcell

#endif
