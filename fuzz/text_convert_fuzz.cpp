// The byte and text helpers of the receive display and the send box on any input: the trim
// rules, bytes -> hexadecimal groups -> bytes, the hexadecimal group parser, the display's
// line breaks both ways, and the whole-number conversions.
#include "fuzz_check.h"
#include "messages.h"
#include "text_convert.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsBlank(uint32_t c) {
    return c <= 0x20;
}

void CheckTrimBytes(const QByteArray& bytes) {
    const QByteArray trimmed = TrimBytes(bytes);
    qsizetype first = 0;
    while (first < bytes.size() && IsBlank(static_cast<uint8_t>(bytes[first])))
        ++first;
    FUZZ_CHECK(trimmed == bytes.mid(first, trimmed.size()), "TrimBytes cut inside the text");
    for (qsizetype i = first + trimmed.size(); i < bytes.size(); ++i)
        FUZZ_CHECK(IsBlank(static_cast<uint8_t>(bytes[i])), "TrimBytes dropped a byte above 0x20");
    FUZZ_CHECK(trimmed.isEmpty() || (!IsBlank(static_cast<uint8_t>(trimmed.front())) &&
                                     !IsBlank(static_cast<uint8_t>(trimmed.back()))),
               "TrimBytes left a blank at an end");
    FUZZ_CHECK(TrimBytes(trimmed) == trimmed, "TrimBytes is not idempotent");
}

void CheckTrimText(const QString& text) {
    const QString trimmed = TrimText(text);
    qsizetype first = 0;
    while (first < text.size() && IsBlank(text[first].unicode()))
        ++first;
    FUZZ_CHECK(trimmed == text.mid(first, trimmed.size()), "TrimText cut inside the text");
    for (qsizetype i = first + trimmed.size(); i < text.size(); ++i)
        FUZZ_CHECK(IsBlank(text[i].unicode()), "TrimText dropped a character above U+0020");
    FUZZ_CHECK(trimmed.isEmpty() ||
                   (!IsBlank(trimmed.front().unicode()) && !IsBlank(trimmed.back().unicode())),
               "TrimText left a blank at an end");
}

// Characters -> hexadecimal groups -> characters gives the same bytes.
void CheckHexRoundTrip(const QByteArray& bytes) {
    QString hex;
    for (const char c : bytes) {
        const QString pair = HexByte(static_cast<uint8_t>(c));
        FUZZ_CHECK(pair.size() == 2 && pair == pair.toUpper(),
                   "HexByte is not two upper-case digits");
        hex += u' ';
        hex += pair;
    }
    QByteArray back;
    for (const QString& group : TrimText(hex).split(u' ', Qt::SkipEmptyParts)) {
        int32_t value = -1;
        FUZZ_CHECK(HexToInt(group, value), "HexToInt refused a pair of HexByte");
        back += static_cast<char>(value);
    }
    FUZZ_CHECK(back == bytes, "bytes -> hex -> bytes changed the text");
}

// Any group: more than 8 characters fail with the value untouched; a group of digits only
// reads as its hexadecimal value.
void CheckHexToInt(const QString& group) {
    int32_t value = 0x5A5A5A5A;
    const bool ok = HexToInt(group, value);
    if (group.size() > 8) {
        FUZZ_CHECK(!ok && value == 0x5A5A5A5A, "HexToInt took more than 8 characters");
        return;
    }
    bool digitsOnly = true;
    for (const QChar c : group)
        digitsOnly = digitsOnly && c.unicode() < 128 && std::isxdigit(c.unicode());
    FUZZ_CHECK(ok == digitsOnly, "HexToInt judged a group wrongly");
    if (digitsOnly) {
        const uint32_t expected =
            group.isEmpty()
                ? 0
                : static_cast<uint32_t>(std::strtoul(group.toLatin1().constData(), nullptr, 16));
        FUZZ_CHECK(static_cast<uint32_t>(value) == expected, "HexToInt misread a group");
    }
}

// The display's text as 8-bit text and back: line breaks are CR LF on the way out, one
// break on the way in, and a display text survives the trip.
void CheckLineBreaks(const QByteArray& bytes) {
    const QString shown = BytesToDisplay(bytes);
    FUZZ_CHECK(!shown.contains(u'\r'), "a CR reached the display");
    FUZZ_CHECK(NormalizeLineBreaks(shown) == shown, "NormalizeLineBreaks is not idempotent");
    const QByteArray out = DisplayToBytes(shown);
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') FUZZ_CHECK(i > 0 && out[i - 1] == '\r', "a bare LF left the display");
        if (out[i] == '\r')
            FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == '\n', "a bare CR left the display");
    }
    // The display gives its paragraph ends as line breaks.
    QString asDisplayed = shown;
    asDisplayed.replace(QChar::ParagraphSeparator, u'\n');
    FUZZ_CHECK(BytesToDisplay(out) == asDisplayed, "display -> bytes -> display changed the text");
}

void CheckIntegers(const QString& text) {
    bool threw = false;
    int32_t value = 0;
    try {
        value = StrToInt(text);
    } catch (const AppError& e) {
        threw = true;
        FUZZ_CHECK(e.text == QString("'%1' is not a valid integer value").arg(text),
                   "StrToInt's error text");
    }
    for (const int32_t fallback : {-7, 12345}) {
        const int32_t got = StrToIntDef(text, fallback);
        FUZZ_CHECK(got == (threw ? fallback : value), "StrToIntDef disagrees with StrToInt");
    }
    if (!threw && text.size() <= 9 && !text.isEmpty() && text[0].isDigit() &&
        text.toLatin1().toStdString().find_first_not_of("0123456789") == std::string::npos)
        FUZZ_CHECK(value == std::atoi(text.toLatin1().constData()), "StrToInt misread digits");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);
    CheckTrimBytes(bytes);
    CheckTrimText(text);
    CheckHexRoundTrip(bytes);
    CheckLineBreaks(bytes);
    for (const QString& group : text.split(u' ')) {
        CheckHexToInt(group);
        if (group.size() <= 40) CheckIntegers(group);
    }
    return 0;
}
