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

// baud[,parity[,data[,stop[,retry]]]]; an empty field keeps what the port had.
bool ApplyPositional(std::string_view text, LineSettings& settings) {
    std::vector<std::string_view> fields;
    for (;;) {
        size_t comma = text.find(',');
        fields.push_back(Trim(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string_view f = fields[i];
        if (f.empty() && i > 0 && i < 4) continue;
        switch (i) {
        case 0:
            if (auto v = ParseBaud(f, true))
                settings.baud = *v;
            else
                return false;
            break;
        case 1:
            if (auto v = ParseParity(f))
                settings.parity = *v;
            else
                return false;
            break;
        case 2:
            if (auto v = ParseDataBits(f))
                settings.dataBits = *v;
            else
                return false;
            break;
        case 3:
            if (auto v = ParseStopBits(f))
                settings.stopBits = *v;
            else
                return false;
            break;
        case 4:
            if (!f.empty() && !EqualsNoCase(f, "x") && !EqualsNoCase(f, "p")) return false;
            settings.xonXoff = EqualsNoCase(f, "x");
            settings.rtsCts = EqualsNoCase(f, "p");
            break;
        default:
            return false;
        }
    }
    // The mode syntax names the handshake in its fifth field; without it there is none.
    if (fields.size() < 5) settings.xonXoff = settings.rtsCts = false;
    return true;
}

// key=value words separated by blanks. dtr, odsr, idsr and to are checked but have no
// counterpart in this record: the modem lines are switched on their own.
bool ApplyKeywords(std::string_view text, LineSettings& settings) {
    while (!(text = Trim(text)).empty()) {
        size_t end = 0;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        std::string_view word = text.substr(0, end);
        text.remove_prefix(end);

        size_t eq = word.find('=');
        if (eq == std::string_view::npos) return false;
        std::string_view key = word.substr(0, eq), value = word.substr(eq + 1);
        if (EqualsNoCase(key, "baud")) {
            auto v = ParseBaud(value, false);
            if (!v) return false;
            settings.baud = *v;
        } else if (EqualsNoCase(key, "parity")) {
            auto v = ParseParity(value);
            if (!v) return false;
            settings.parity = *v;
        } else if (EqualsNoCase(key, "data")) {
            auto v = ParseDataBits(value);
            if (!v) return false;
            settings.dataBits = *v;
        } else if (EqualsNoCase(key, "stop")) {
            auto v = ParseStopBits(value);
            if (!v) return false;
            settings.stopBits = *v;
        } else if (EqualsNoCase(key, "xon")) {
            auto v = ParseOnOff(value);
            if (!v) return false;
            settings.xonXoff = *v;
        } else if (EqualsNoCase(key, "octs")) {
            auto v = ParseOnOff(value);
            if (!v) return false;
            settings.rtsCts = *v;
        } else if (EqualsNoCase(key, "rts")) {
            if (EqualsNoCase(value, "hs"))
                settings.rtsCts = true;
            else if (!ParseOnOff(value) && !EqualsNoCase(value, "tg"))
                return false;
        } else if (EqualsNoCase(key, "dtr")) {
            if (!ParseOnOff(value) && !EqualsNoCase(value, "hs")) return false;
        } else if (EqualsNoCase(key, "odsr") || EqualsNoCase(key, "idsr") ||
                   EqualsNoCase(key, "to")) {
            if (!ParseOnOff(value)) return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool ApplyLineParams(std::string_view text, LineSettings& settings) {
    text = SkipPortPrefix(text);
    if (text.empty()) return false;
    if (text.find('=') != std::string_view::npos) return ApplyKeywords(text, settings);
    return ApplyPositional(text, settings);
}

} // namespace portline
