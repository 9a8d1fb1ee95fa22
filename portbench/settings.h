// The settings file "PortBench.ini", beside the program or in the user's
// configuration folder (settings_location.h), read and written with the
// behaviour of the Windows profile functions.
#ifndef PORTBENCH_SETTINGS_H
#define PORTBENCH_SETTINGS_H

#include "settings_keys.h"

#include <QString>

// Full path of the settings file: the settings folder of the program's folder
// followed by PortBench.ini.
QString SettingsPath();
// Tests point the program's folder elsewhere; an empty text restores the default.
void SetSettingsFolderForTesting(const QString& folder);

// A short-lived INI file object, opened and freed within one handler.
class TIniFile {
  public:
    explicit TIniFile(QString path);
    // The stored value trimmed of blanks and one pair of enclosing quotes (at
    // most 2047 characters), or `defaultValue` when the section or key is absent.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // On disk before it returns; throws AppError("Unable to write to <path>").
    void WriteString(const QString& section, const QString& key, const QString& value);

    // The program's own keys (settings_keys.h), each with its spelling and default.
    QString ReadString(const SettingsKey& key) const {
        return ReadString(key.section, key.key, key.defaultValue);
    }
    void WriteString(const SettingsKey& key, const QString& value) {
        WriteString(key.writtenSection, key.writtenKey, value);
    }

  private:
    QString path_;
};

#endif
