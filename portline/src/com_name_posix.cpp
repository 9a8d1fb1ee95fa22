#include "com_name.h"

#include <cctype>

namespace portline {

namespace {

// "COM1" to "COM999999999": at most nine digits, so that the number always fits.
bool IsComName(const std::string& name) {
    if (name.size() < 4 || name.size() > 12) return false;
    for (size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return false;
    for (size_t i = 3; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return name.find_first_not_of('0', 3) != std::string::npos; // COM0 names no port
}

} // namespace

std::string ComNameDevice(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    if (IsComName(name)) return "/dev/ttyS" + std::to_string(std::stoul(name.substr(3)) - 1);
    return "/dev/" + name;
}

} // namespace portline
