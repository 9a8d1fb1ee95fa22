#include "registry_ports_win32.h"

std::vector<std::string> RegisteredSerialPorts(HKEY root, const char* path) {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return ports;

    // First the names of all values, then the text data of each, in that order.
    std::vector<std::string> names;
    char name[16384]; // the longest value name the registry allows, and its zero
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LSTATUS status =
            RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS) names.emplace_back(name, length);
    }
    for (const std::string& valueName : names) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        std::string data(size, '\0');
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            continue;
        data.resize(strnlen(data.c_str(), size)); // stored with or without its zero
        ports.push_back(std::move(data));
    }
    RegCloseKey(key);
    return ports;
}
