// The settings file on Windows: the system's own profile functions, on texts in the
// system's code page.
#include "settings.h"

#include "messages.h"
#include "profile_win32.h"
#include "text_convert.h"

#include <QDir>

namespace {

std::string CodePageText(const QString& text) {
    return Native8Bit(text).toStdString();
}

} // namespace

QString AccountHomeFolder() {
    return QDir::homePath();
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    return QString::fromLocal8Bit(ReadProfileText(CodePageText(path_), CodePageText(section),
                                                  CodePageText(key), CodePageText(defaultValue)));
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!WriteProfileText(CodePageText(path_), CodePageText(section), CodePageText(key),
                          CodePageText(value)))
        throw AppError(QString("Unable to write to %1").arg(QDir::toNativeSeparators(path_)));
}
