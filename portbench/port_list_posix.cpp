#include "port_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The kernel's own list of terminals: a serial port is one with a device
// behind it (virtual consoles and pseudo-terminals have none), leaving out a
// serial-core port whose chip was never found (type 0), as on most machines'
// ttyS1 to ttyS31. Read from sysfs, without opening a device or starting the
// device manager's library.
QStringList AvailablePortNames() {
    const QString classFolder = "/sys/class/tty/";
    QStringList names;
    for (const QString& name : QDir(classFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString entry = classFolder + name;
        if (!QFileInfo::exists(entry + "/device") || !QFileInfo::exists("/dev/" + name)) continue;
        QFile type(entry + "/type");
        if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0") continue;
        names << name;
    }
    SortNaturally(names);
    names.removeDuplicates();
    return names;
}
