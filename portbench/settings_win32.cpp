// The settings file on Windows: the system's own profile functions, on texts in the
// system's code page.
#include "settings.h"

#include "messages.h"
#include "profile_win32.h"

#include <QDir>

namespace {

std::string Local(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    return QString::fromLocal8Bit(
        ReadProfileText(Local(path_), Local(section), Local(key), Local(defaultValue)));
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!WriteProfileText(Local(path_), Local(section), Local(key), Local(value)))
        throw AppError(QString("Unable to write to %1").arg(QDir::toNativeSeparators(path_)));
}
