#include "line_params.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

namespace portline {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// "COM3:" or "COM3" in front of the parameters names the port; it plays no part here.
std::string_view SkipPortPrefix(std::string_view s) {
    s = Trim(s);
    if (s.size() < 4 || !EqualsNoCase(s.substr(0, 3), "com") ||
        !std::isdigit(static_cast<unsigned char>(s[3])))
        return s;
    size_t i = 3;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i;
    if (i < s.size() && s[i] == ':')
        ++i;
    else if (i < s.size() && !IsSpace(s[i]))
        return s; // "COM12abc" is not a prefix
    return Trim(s.substr(i));
}

std::optional<uint32_t> ParseBaud(std::string_view s, bool abbreviations) {
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || value == 0 || value > UINT32_MAX)
        return std::nullopt;
    if (abbreviations) {
        switch (value) {
        case 11:
            return 110;
        case 15:
            return 150;
        case 30:
            return 300;
        case 60:
            return 600;
        case 12:
            return 1200;
        case 24:
            return 2400;
        case 48:
            return 4800;
        case 96:
            return 9600;
        case 19:
            return 19200;
        default:
            break;
        }
    }
    return static_cast<uint32_t>(value);
}

std::optional<Parity> ParseParity(std::string_view s) {
    if (s.size() != 1) return std::nullopt;
    switch (Lower(s[0])) {
    case 'n':
        return Parity::None;
    case 'e':
        return Parity::Even;
    case 'o':
        return Parity::Odd;
    case 'm':
        return Parity::Mark;
    case 's':
        return Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<int> ParseDataBits(std::string_view s) {
    if (s.size() != 1 || s[0] < '5' || s[0] > '8') return std::nullopt;
    return s[0] - '0';
}

std::optional<StopBits> ParseStopBits(std::string_view s) {
    if (s == "1") return StopBits::One;
    if (s == "1.5") return StopBits::OnePointFive;
    if (s == "2") return StopBits::Two;
    return std::nullopt;
}

std::optional<bool> ParseOnOff(std::string_view s) {
    if (EqualsNoCase(s, "on")) return true;
    if (EqualsNoCase(s, "off")) return false;
    return std::nullopt;
}

// Every handshake off; a line that a handshake drove is left on.
void HandshakesOff(LineSettings& settings) {
    settings.xonXoff = settings.ctsOutFlow = settings.dsrOutFlow = settings.dsrSensitive = false;
    if (settings.dtr == DtrControl::Handshake) settings.dtr = DtrControl::On;
    if (settings.rts == RtsControl::Handshake) settings.rts = RtsControl::On;
}

// A rejected text keeps what it set of the character format; the handshakes and line
// controls change only with a text that is accepted whole.
bool Reject(const LineSettings& work, LineSettings& settings) {
    settings.baud = work.baud;
    settings.parity = work.parity;
    settings.dataBits = work.dataBits;
    settings.stopBits = work.stopBits;
    return false;
}

void SetBaud(uint32_t baud, LineSettings& settings) {
    settings.baud = baud;
    if (baud == 110) settings.stopBits = StopBits::Two; // the slow teleprinter rate
}

// baud[,parity[,data[,stop[,retry]]]]; an empty field keeps what the port had.
bool ApplyPositional(std::string_view text, LineSettings& settings) {
    std::vector<std::string_view> fields;
    for (;;) {
        size_t comma = text.find(',');
        fields.push_back(Trim(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    LineSettings work = settings;
    HandshakesOff(work);
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string_view f = fields[i];
        if (f.empty() && i > 0 && i < 5) continue;
        switch (i) {
        case 0:
            if (auto v = ParseBaud(f, true))
                SetBaud(*v, work);
            else
                return Reject(work, settings);
            break;
        case 1:
            if (auto v = ParseParity(f))
                work.parity = *v;
            else
                return Reject(work, settings);
            break;
        case 2:
            if (auto v = ParseDataBits(f))
                work.dataBits = *v;
            else
                return Reject(work, settings);
            break;
        case 3:
            if (auto v = ParseStopBits(f))
                work.stopBits = *v;
            else
                return Reject(work, settings);
            break;
        case 4:
            if (EqualsNoCase(f, "x")) {
                work.xonXoff = true;
            } else if (EqualsNoCase(f, "p")) {
                work.ctsOutFlow = work.dsrOutFlow = true;
                work.dtr = DtrControl::Handshake;
                work.rts = RtsControl::Handshake;
            } else {
                return Reject(work, settings);
            }
            break;
        default:
            return Reject(work, settings);
        }
    }
    settings = work;
    return true;
}

// key=value words separated by blanks; "to" (the write time-out) has nothing to set here.
bool ApplyKeywords(std::string_view text, LineSettings& settings) {
    LineSettings work = settings;
    HandshakesOff(work);
    while (!(text = Trim(text)).empty()) {
        size_t end = 0;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        std::string_view word = text.substr(0, end);
        text.remove_prefix(end);

        size_t eq = word.find('=');
        if (eq == std::string_view::npos) return Reject(work, settings);
        std::string_view key = word.substr(0, eq), value = word.substr(eq + 1);
        bool ok = true;
        if (EqualsNoCase(key, "baud")) {
            auto v = ParseBaud(value, false);
            if ((ok = v.has_value())) SetBaud(*v, work);
        } else if (EqualsNoCase(key, "parity")) {
            auto v = ParseParity(value);
            if ((ok = v.has_value())) work.parity = *v;
        } else if (EqualsNoCase(key, "data")) {
            auto v = ParseDataBits(value);
            if ((ok = v.has_value())) work.dataBits = *v;
        } else if (EqualsNoCase(key, "stop")) {
            auto v = ParseStopBits(value);
            if ((ok = v.has_value())) work.stopBits = *v;
        } else if (EqualsNoCase(key, "rts")) {
            if (EqualsNoCase(value, "hs"))
                work.rts = RtsControl::Handshake;
            else if (EqualsNoCase(value, "tg"))
                work.rts = RtsControl::Toggle;
            else if (auto v = ParseOnOff(value))
                work.rts = *v ? RtsControl::On : RtsControl::Off;
            else
                ok = false;
        } else if (EqualsNoCase(key, "dtr")) {
            if (EqualsNoCase(value, "hs"))
                work.dtr = DtrControl::Handshake;
            else if (auto v = ParseOnOff(value))
                work.dtr = *v ? DtrControl::On : DtrControl::Off;
            else
                ok = false;
        } else {
            bool* flag = EqualsNoCase(key, "xon")    ? &work.xonXoff
                         : EqualsNoCase(key, "octs") ? &work.ctsOutFlow
                         : EqualsNoCase(key, "odsr") ? &work.dsrOutFlow
                         : EqualsNoCase(key, "idsr") ? &work.dsrSensitive
                                                     : nullptr;
            auto v = ParseOnOff(value);
            ok = v.has_value() && (flag || EqualsNoCase(key, "to"));
            if (ok && flag) *flag = *v;
        }
        if (!ok) return Reject(work, settings);
    }
    settings = work;
    return true;
}

} // namespace

bool ParseLineParams(std::string_view text, LineSettings& settings) {
    text = SkipPortPrefix(text);
    if (text.empty()) return false;
    if (text.find('=') != std::string_view::npos) return ApplyKeywords(text, settings);
    return ApplyPositional(text, settings);
}

bool IsApplicable(const LineSettings& settings) {
    if (settings.stopBits == StopBits::Two) return settings.dataBits != 5;
    if (settings.stopBits == StopBits::OnePointFive) return settings.dataBits == 5;
    return true;
}

} // namespace portline
