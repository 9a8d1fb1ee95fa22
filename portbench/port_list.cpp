#include "port_list.h"

#include <algorithm>

#if defined(_WIN32)
#include "registry_ports_win32.h"
#else
#include <QDir>
#include <QFile>
#include <QFileInfo>
#endif

namespace {

// Compares the digit runs starting at a[i] and b[j] by value; advances both.
int CompareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j) {
    while (i < a.size() && a[i] == u'0')
        ++i;
    while (j < b.size() && b[j] == u'0')
        ++j;
    const qsizetype startA = i;
    const qsizetype startB = j;
    while (i < a.size() && a[i].isDigit())
        ++i;
    while (j < b.size() && b[j].isDigit())
        ++j;
    const qsizetype lengthA = i - startA;
    const qsizetype lengthB = j - startB;
    if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
    return QStringView(a).mid(startA, lengthA).compare(QStringView(b).mid(startB, lengthB));
}

} // namespace

bool NaturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            if (const int order = CompareNumbers(a, i, b, j)) return order < 0;
            continue;
        }
        const int order = QString::compare(a.mid(i, 1), b.mid(j, 1), Qt::CaseInsensitive);
        if (order != 0) return order < 0;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
    return a < b; // a fixed order for names that differ only in case or zeros
}

void SortNaturally(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), NaturalLess);
}

#if defined(_WIN32)
// On Windows the registry lists the ports, in its own order.
QStringList AvailablePortNames() {
    QStringList names;
    for (const std::string& name : RegisteredSerialPorts())
        names << QString::fromLocal8Bit(name.c_str());
    return names;
}
#else
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
#endif
