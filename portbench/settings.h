// The settings file "PortBench.ini", beside the program or in the user's
// configuration folder (settings_location.h), read and written with the
// behaviour of the Windows profile functions (settings_posix.cpp,
// settings_win32.cpp).
#ifndef PORTBENCH_SETTINGS_H
#define PORTBENCH_SETTINGS_H

#include "settings_location.h"

#include <QString>

#include <utility>

// The sections and keys of the file, each named once, with the value a read
// gives when the key is absent. Names match whatever their letter case, so a
// key is one key however it is spelt; the readers and the writers of some keys
// spell them differently, and a section or key that a write creates takes the
// writers' spelling.
struct SettingsKey {
    const char* section; // as the readers spell it
    const char* key;
    const char* writtenSection; // as the writers spell it
    const char* writtenKey;
    const char* defaultValue;
};

namespace SettingsKeys {

// [COM]: the port panel's port name and line parameter text.
inline constexpr SettingsKey Port{"COM", "Port", "COM", "port", "COM1"};
inline constexpr SettingsKey Parameter{"COM", "parameter", "COM", "parameter", "9600,n,8,1"};
// [send]: the send box's text and form ("HEX" or "ASCII").
inline constexpr SettingsKey SendData{"Send", "data", "send", "data", ""};
inline constexpr SettingsKey SendType{"send", "type", "send", "type", ""};
// [Language]: "Chinese" or "English".
inline constexpr SettingsKey Language{"Language", "Lan", "Language", "Lan", "Chinese"};
// [Time]: the timed send's interval as typed, and whether it is on ("Yes" or "No").
inline constexpr SettingsKey Interval{"Time", "Long", "Time", "Long", ""};
inline constexpr SettingsKey Continuous{"Time", "Continuous", "Time", "Continuous", ""};
// [Show]: the receive display's form ("HEX" or "ASCII").
inline constexpr SettingsKey ShowType{"Show", "type", "Show", "type", ""};

} // namespace SettingsKeys

// A short-lived INI file object, opened and freed within one handler.
class TIniFile {
  public:
    explicit TIniFile(QString path) : path_(std::move(path)) {}
    // The stored value trimmed of blanks and one pair of enclosing quotes (at
    // most 2047 characters), or `defaultValue` when the section or key is absent.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // On disk before it returns; throws AppError("Unable to write to <path>").
    void WriteString(const QString& section, const QString& key, const QString& value);

    // The program's own keys, each with its spelling and default.
    QString ReadString(const SettingsKey& key) const {
        return ReadString(key.section, key.key, key.defaultValue);
    }
    void WriteString(const SettingsKey& key, const QString& value) {
        WriteString(key.writtenSection, key.writtenKey, value);
    }

  private:
    QString path_;
};

// What a handler stores: one key of the program's settings file, on disk
// before it returns (throws as WriteString does).
inline void WriteSetting(const SettingsKey& key, const QString& value) {
    TIniFile(SettingsPath()).WriteString(key, value);
}

#endif
