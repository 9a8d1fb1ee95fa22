// The scan's progress bar, drawn on a stream only when it goes to a terminal.
#ifndef LOADCELL_PROGRESS_H
#define LOADCELL_PROGRESS_H

#include <cstdio>

namespace loadcell {

class ScanProgress {
  public:
    ScanProgress(std::FILE* stream, int from, int to);
    ~ScanProgress(); // wipes the bar
    ScanProgress(const ScanProgress&) = delete;
    ScanProgress& operator=(const ScanProgress&) = delete;

    void Probing(int address);
    // Takes the bar off its line, so that other output can be written; the next
    // Probing draws it again.
    void Wipe();

  private:
    std::FILE* stream_;
    bool shown_;
    bool drawn_ = false;
    int from_;
    int to_;
};

} // namespace loadcell

#endif
