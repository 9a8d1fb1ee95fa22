// The small INI files loadcell keeps and reads (limits, calibrations): one
// "[section]" a line, "key = value" lines below it, '#' or ';' starting a comment.
// Read line by line; a bad line is an error naming the file and line.
#ifndef LOADCELL_INI_FILE_H
#define LOADCELL_INI_FILE_H

#include <string>
#include <vector>

namespace loadcell {

struct IniEntry {
    std::string key;
    std::string value;
    int line = 0;
};

struct IniSection {
    std::string name; // "" for the lines before the first section
    int line = 0;
    std::vector<IniEntry> entries;
};

// False with `error` ("limits.ini:4: ...") when the file cannot be read or a line is
// neither a section, a key = value, a comment nor blank.
bool ReadIni(const std::string& path, std::vector<IniSection>& sections, std::string& error);
bool ParseIni(const std::string& text, const std::string& name, std::vector<IniSection>& sections,
              std::string& error);

// Writes the sections to a temporary file beside `path`, then renames it over `path`,
// so that a reader sees the old file or the new one, never half of one. Makes the
// folder when it is missing.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);
bool WriteIniAtomically(const std::string& path, const std::vector<IniSection>& sections,
                        const std::string& heading, std::string& error);

} // namespace loadcell

#endif
