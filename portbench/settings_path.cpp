// Where the settings file lies, on every platform.
#include "settings.h"

#include <QCoreApplication>

namespace {

QString folderOverride;

} // namespace

void SetSettingsFolderForTesting(const QString& folder) {
    folderOverride = folder;
}

QString SettingsPath() {
    const QString folder =
        folderOverride.isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride;
    return folder + "/PortBench.ini";
}

TIniFile::TIniFile(QString path) : path_(std::move(path)) {}
