// The serial ports present on this machine, as names for the port box.
#ifndef PORTBENCH_PORT_LIST_H
#define PORTBENCH_PORT_LIST_H

#include <QStringList>

// The platform's own device names (ttyS0, ttyUSB0, ...), in natural order.
QStringList AvailablePortNames();

// Natural order: runs of digits compare by value, so ttyS2 comes before ttyS10;
// names equal but for letter case or leading zeros keep a fixed order.
bool NaturalLess(const QString& a, const QString& b);
void SortNaturally(QStringList& names);

#endif
