// On Windows a name that is no plain file (a device such as COM1, a folder) is
// refused by its attributes before it is opened.
#include "plain_file.h"

#include <QFile>
#include <QFileInfo>

bool ReadPlainFile(const QString& name, QByteArray& bytes) {
    if (!QFileInfo(name).isFile()) return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}
