// The sections and keys of the settings file PortBench.ini, each named once,
// with the value a read gives when the key is absent. Names match whatever
// their letter case, so a key is one key however it is spelt; the readers and
// the writers of some keys spell them differently, and a section or key that a
// write creates takes the writers' spelling.
#ifndef PORTBENCH_SETTINGS_KEYS_H
#define PORTBENCH_SETTINGS_KEYS_H

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

#endif
