#include "settings.h"

#include <QCoreApplication>

namespace {
QString folderOverride;
}

void SetSettingsFolderForTesting(const QString& folder) { folderOverride = folder; }

QString SettingsPath() {
    const QString folder =
        folderOverride.isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride;
    return folder + "/PortBench.ini";
}

TIniFile::TIniFile(QString path) : path_(std::move(path)) {}
QString TIniFile::ReadString(const QString&, const QString&, const QString& defaultValue) const {
    return defaultValue;
}
void TIniFile::WriteString(const QString&, const QString&, const QString&) {}
