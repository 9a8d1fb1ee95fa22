#include "port_list.h"

#include "registry_ports_win32.h"

// On Windows the registry lists the ports, in its own order.
QStringList AvailablePortNames() {
    QStringList names;
    for (const std::string& name : RegisteredSerialPorts())
        names << QString::fromLocal8Bit(name.c_str());
    return names;
}
