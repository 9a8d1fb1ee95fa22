#include "profile_win32.h"

#include <windows.h>

std::string ReadProfileText(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& defaultValue) {
    char buffer[2048]; // 2047 characters and the zero
    const DWORD length = GetPrivateProfileStringA(
        section.c_str(), key.c_str(), defaultValue.c_str(), buffer, sizeof buffer, path.c_str());
    return std::string(buffer, length);
}

bool WriteProfileText(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           0;
}
