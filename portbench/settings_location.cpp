#include "settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef PORTBENCH_INSTALLED_MARKER
#define PORTBENCH_INSTALLED_MARKER "../share/portbench/installed"
#endif

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

QString InstalledMarker() {
    return PORTBENCH_INSTALLED_MARKER;
}

bool IsInstalledProgram(const QString& programFolder) {
    return QFileInfo(QDir(programFolder).filePath(InstalledMarker())).isFile();
}

QString UserConfigFolder(const QString& xdgConfigHome, const QString& home) {
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the base
    // directory rules say.
    if (!xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome))
        return QDir::cleanPath(xdgConfigHome);
    return QDir::cleanPath(home + "/.config");
}

namespace {

QString HomeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? AccountHomeFolder() : home;
}

} // namespace

QString SettingsFolderFor(const QString& programFolder) {
    if (!IsInstalledProgram(programFolder)) return programFolder;
    return UserConfigFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), HomeFolder()) + "/PortBench";
}

bool MakeSettingsFolder(const QString& path) {
    // Owner-only, as the base directory rules ask of folders they create; an
    // existing folder keeps its permissions.
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir()) return true;
    return QDir().mkpath(folder) &&
           QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
