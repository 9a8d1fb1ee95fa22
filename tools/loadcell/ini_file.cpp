#include "ini_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace loadcell {
namespace {

std::string Trimmed(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return "";
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

// Every missing folder on the way to `folder`.
bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return true;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

} // namespace

bool ParseIni(const std::string& text, const std::string& name, std::vector<IniSection>& sections,
              std::string& error) {
    sections.assign(1, IniSection{});
    std::istringstream lines(text);
    std::string raw;
    for (int number = 1; std::getline(lines, raw); ++number) {
        const std::string line = Trimmed(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') {
                error = name + ":" + std::to_string(number) + ": a section line ends with ']'";
                return false;
            }
            sections.push_back({Trimmed(line.substr(1, line.size() - 2)), number, {}});
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || Trimmed(line.substr(0, eq)).empty()) {
            error = name + ":" + std::to_string(number) + ": '" + line +
                    "' is neither [section] nor key = value";
            return false;
        }
        sections.back().entries.push_back(
            {Trimmed(line.substr(0, eq)), Trimmed(line.substr(eq + 1)), number});
    }
    return true;
}

bool ReadIni(const std::string& path, std::vector<IniSection>& sections, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return ParseIni(text.str(), path, sections, error);
}

bool WriteIniAtomically(const std::string& path, const std::vector<IniSection>& sections,
                        const std::string& heading, std::string& error) {
    std::string text = heading;
    for (const IniSection& section : sections) {
        if (section.name.empty() && section.entries.empty()) continue;
        if (!section.name.empty()) text += (text.empty() ? "[" : "\n[") + section.name + "]\n";
        for (const IniEntry& entry : section.entries)
            text += entry.key + " = " + entry.value + "\n";
    }
    return WriteFileAtomically(path, text, error);
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    if (!MakeFolders(folder)) {
        error = "cannot make the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const int writeErrno = errno;
    const bool written = done == text.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace loadcell
