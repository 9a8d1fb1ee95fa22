// The settings file through the Windows profile functions (GetPrivateProfileStringA and
// WritePrivateProfileStringA), on 8-bit texts in the system's code page. No Qt here, so
// that it builds and is tested alone.
#ifndef PORTBENCH_PROFILE_WIN32_H
#define PORTBENCH_PROFILE_WIN32_H

#include <string>

// The stored value as the profile functions return it (blanks and one pair of enclosing
// quotes removed, at most 2047 characters), or `defaultValue` when the section or the key
// is absent. Section and key names match whatever their letter case.
std::string ReadProfileText(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& defaultValue);

// Creates the file, the section or the key as needed, or replaces the value. False when
// the write was refused.
bool WriteProfileText(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value);

#endif
