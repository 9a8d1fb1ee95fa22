#include "text_convert.h"

#include "messages.h"
#include "utf8_sequence.h"

#include <QCoreApplication>
#include <algorithm>

QByteArray TrimBytes(const QByteArray& bytes) {
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && static_cast<uint8_t>(bytes[first]) <= 0x20)
        ++first;
    while (last > first && static_cast<uint8_t>(bytes[last - 1]) <= 0x20)
        --last;
    return bytes.mid(first, last - first);
}

QString TrimText(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

QString HexByte(uint8_t byte) {
    static const char digits[] = "0123456789ABCDEF";
    const QChar pair[2] = {QChar(digits[byte >> 4]), QChar(digits[byte & 0x0F])};
    return QString(pair, 2);
}

bool HexToInt(const QString& text, int32_t& value) {
    const qsizetype n = text.size();
    if (n > 8) return false;
    uint32_t result = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else {
            value = static_cast<int32_t>(result);
            return false;
        }
        result |= digit << (4 * (n - 1 - i));
    }
    value = static_cast<int32_t>(result);
    return true;
}

uint8_t HexGroupByte(QByteArrayView group) {
    int32_t value = 0;
    HexToInt(QString::fromLatin1(group.last(std::min<qsizetype>(group.size(), 8))), value);
    return static_cast<uint8_t>(value);
}

QString BytesToHex(QByteArrayView bytes, HexBlanks blanks, HighBytes high,
                   const EachByte& eachByte) {
    QString text;
    text.reserve(bytes.size() * (high == HighBytes::Widened ? 9 : 3));
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x80 || high != HighBytes::Dropped) {
            if (blanks == HexBlanks::BeforeEach || !text.isEmpty()) text += u' ';
            if (byte >= 0x80 && high == HighBytes::Widened) text += u"FFFFFF"_qs;
            text += HexByte(byte);
        }
        if (eachByte) eachByte();
    }
    return text;
}

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

QByteArray HexGroupsToBytes(QByteArrayView text, HexGroupChars groups, qsizetype areaSize,
                            const EachByte& eachByte) {
    Q_ASSERT(areaSize >= 2);
    const QByteArray source = TrimBytes(text.toByteArray()) + ' ';
    QByteArray area(areaSize, '\0');
    qsizetype position = 0;
    QByteArray group;
    for (const char c : source) {
        if (groups == HexGroupChars::HexDigits ? IsHexDigit(c) : c != ' ') {
            group += c;
        } else {
            if (position == areaSize - 1)
                position = 1; // full: this group is dropped
            else
                area[position++] = static_cast<char>(HexGroupByte(group));
            group.clear();
        }
        area[position] = '\0';
        if (eachByte) eachByte();
    }
    return area.left(area.indexOf('\0'));
}

void ProcessEvents() {
    QCoreApplication::processEvents();
}

QByteArray DisplayToBytes(const QString& displayText) {
    QString text = displayText;
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text.replace(u"\n"_qs, u"\r\n"_qs).toUtf8();
}

QString NormalizeLineBreaks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString BytesToDisplay(const QByteArray& bytes) {
    return NormalizeLineBreaks(QString::fromUtf8(bytes));
}

namespace {

constexpr char32_t ByteCharacters = 0xEF00; // U+EF80 to U+EFFF stand for 0x80 to 0xFF

bool IsByteCharacter(char32_t c) {
    return c >= ByteCharacters + 0x80 && c <= ByteCharacters + 0xFF;
}

} // namespace

QString BytesToEditText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto byte = static_cast<uint8_t>(bytes[at]);
        char32_t code = byte;
        const int length = byte < 0x80 ? 1 : Utf8Sequence(bytes, at, code);
        if (length == 0 || IsByteCharacter(code)) {
            text += QChar(static_cast<char16_t>(ByteCharacters + byte));
            ++at;
            continue;
        }
        text += QString::fromUcs4(&code, 1);
        at += length;
    }
    return text;
}

QByteArray EditTextToBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0; // of characters written as UTF-8
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsByteCharacter(text[i].unicode())) continue;
        bytes += QStringView(text).sliced(runStart, i - runStart).toUtf8();
        if (i < text.size()) bytes += static_cast<char>(text[i].unicode() - ByteCharacters);
        runStart = i + 1;
    }
    return bytes;
}

bool BuildSendBuffer(const QString& text, bool hexForm, QByteArray& out, qsizetype maxBytes) {
    out.clear();
    if (!hexForm) {
        out = EditTextToBytes(text);
        const qsizetype zero = out.indexOf('\0');
        if (zero >= 0) out.truncate(zero);
        return out.size() <= maxBytes;
    }
    const QByteArray source = text.toUtf8() + ' ';
    QByteArray group;
    for (const char c : source) {
        if (static_cast<uint8_t>(c) > 0x20) {
            group += c;
            continue;
        }
        if (group.isEmpty()) continue;
        const uint8_t byte = HexGroupByte(group);
        group.clear();
        if (byte == 0) break;
        out += static_cast<char>(byte);
        if (out.size() > maxBytes) return false;
    }
    return true;
}

namespace {

// Whole numbers as the window's integer conversion reads them: optional
// leading blanks, an optional sign, then decimal digits (or $/0x and hex digits).
bool ParseInteger(const QString& text, int32_t& out) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' &&
               (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = QChar(text[i]).isDigit() && text[i].unicode() < 128
                              ? text[i].unicode() - '0'
                              : (base == 16 && text[i].isLetter() && text[i].unicode() < 128
                                     ? (text[i].toUpper().unicode() - 'A' + 10)
                                     : -1);
        if (digit < 0 || digit >= base) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > (int64_t{1} << 32)) return false;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (base == 10 && (value < INT32_MIN || value > INT32_MAX)) return false;
    if (base == 16 && (magnitude > UINT32_MAX)) return false;
    out = static_cast<int32_t>(base == 16 ? static_cast<uint32_t>(value) : value);
    return true;
}

} // namespace

QByteArray Native8Bit(const QString& text) {
    return text.toLocal8Bit();
}

int32_t StrToInt(const QString& text) {
    int32_t value = 0;
    if (!ParseInteger(text, value))
        throw AppError(QString("'%1' is not a valid integer value").arg(text));
    return value;
}

int32_t StrToIntDef(const QString& text, int32_t fallback) {
    int32_t value = 0;
    return ParseInteger(text, value) ? value : fallback;
}
