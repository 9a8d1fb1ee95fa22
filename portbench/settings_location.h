// Where the settings file lives, on every platform. A PortBench run from its build tree or from a
// folder of its own (a portable copy) keeps PortBench.ini beside the program. An
// installed PortBench keeps it in the user's configuration folder,
// $XDG_CONFIG_HOME/PortBench (~/.config/PortBench when that is unset).
//
// The program counts as installed when the installation's marker file lies at
// its place relative to the program's folder (bin/../share/portbench/installed).
// The marker is laid down only by the install rules, so the test holds for a
// copy unpacked anywhere and for root, where every folder is writable.
#ifndef PORTBENCH_SETTINGS_LOCATION_H
#define PORTBENCH_SETTINGS_LOCATION_H

#include <QString>

// Full path of the settings file: the settings folder of the program's folder
// followed by PortBench.ini.
QString SettingsPath();
// Tests point the program's folder elsewhere; an empty text restores the default.
void SetSettingsFolderForTesting(const QString& folder);

// The marker's path relative to the program's folder.
QString InstalledMarker();

// True when the program in `programFolder` is an installed one.
bool IsInstalledProgram(const QString& programFolder);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, otherwise `home`/.config.
QString UserConfigFolder(const QString& xdgConfigHome, const QString& home);

// The home folder the system records for the user, for a program started
// without $HOME (settings_posix.cpp, settings_win32.cpp).
QString AccountHomeFolder();

// The folder of the settings file for the program in `programFolder`, with the
// environment of this process.
QString SettingsFolderFor(const QString& programFolder);

// Creates the folder of the settings file `path` when it is missing; false
// when it cannot be created.
bool MakeSettingsFolder(const QString& path);

#endif
