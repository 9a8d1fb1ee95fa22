// A scratch folder for the files a check or a calibration writes, and readers of them.
#ifndef LOADCELL_TESTS_RECORD_FILES_H
#define LOADCELL_TESTS_RECORD_FILES_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace loadcelltest {

class ScratchFolder {
  public:
    ScratchFolder() {
        char name[] = "/tmp/loadcell-record-XXXXXX";
        if (::mkdtemp(name)) path_ = name;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

} // namespace loadcelltest

#endif
