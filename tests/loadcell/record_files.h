// A scratch folder for the files a check or a calibration writes, and readers of them.
#ifndef LOADCELL_TESTS_RECORD_FILES_H
#define LOADCELL_TESTS_RECORD_FILES_H

#include "scratch_files.h"

#include <filesystem>
#include <string>

namespace loadcelltest {

using scratchtest::ReadFile;
using scratchtest::WriteFile;

// Its files vanish with the test.
class ScratchFolder : public scratchtest::ScratchFolder {
  public:
    ScratchFolder() : scratchtest::ScratchFolder("loadcell-record") {}
};

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

} // namespace loadcelltest

#endif
