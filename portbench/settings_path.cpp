// Where the settings file lies, on every platform: beside the program, or in the user's
// configuration folder for an installed copy (settings_location.h).
#include "settings.h"
#include "settings_location.h"

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
    return SettingsFolderFor(folder) + "/PortBench.ini";
}

TIniFile::TIniFile(QString path) : path_(std::move(path)) {}
