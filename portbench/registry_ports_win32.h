// The serial ports registered on a Windows machine: the data of the values of
// HKEY_LOCAL_MACHINE "hardware\devicemap\serialcomm" (the value names are device paths,
// their data the port names such as COM3). No Qt here, so that it builds and is tested alone.
#ifndef PORTBENCH_REGISTRY_PORTS_WIN32_H
#define PORTBENCH_REGISTRY_PORTS_WIN32_H

#include <string>
#include <vector>

#include <windows.h>

// The port names in the order of the values. The key is opened with full access, as the
// registry object's default asks; a key that is missing or that cannot be opened so gives
// an empty list. Tests name another key.
std::vector<std::string>
RegisteredSerialPorts(HKEY root = HKEY_LOCAL_MACHINE,
                      const char* path = "hardware\\devicemap\\serialcomm");

#endif
