// The byte and text helpers of the receive display and the send box on any input: the trim
// rules, bytes -> hexadecimal groups -> bytes, the hexadecimal group parser, the formatter
// in each of its forms, the group reader with its restarting area, the send buffer, the
// send box's characters both ways, the display's line breaks both ways, and the
// whole-number conversions.
#include "fuzz_check.h"
#include "messages.h"
#include "text_convert.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <algorithm>
#include <cctype>
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

// Every form of the formatter: two digits and a blank per byte shown, the step after each
// byte, and a byte dropped only where the form says so.
void CheckBytesToHex(const QByteArray& bytes) {
    qsizetype high = 0;
    for (const char c : bytes)
        high += static_cast<uint8_t>(c) >= 0x80;
    for (const HexBlanks blanks : {HexBlanks::BeforeEach, HexBlanks::Between}) {
        for (const HighBytes form : {HighBytes::AsByte, HighBytes::Widened, HighBytes::Dropped}) {
            qsizetype steps = 0;
            const QString hex = BytesToHex(bytes, blanks, form, [&] { ++steps; });
            FUZZ_CHECK(steps == bytes.size(), "BytesToHex missed a step");
            const qsizetype shown = form == HighBytes::Dropped ? bytes.size() - high : bytes.size();
            const qsizetype blanksShown =
                blanks == HexBlanks::BeforeEach ? shown : std::max<qsizetype>(shown - 1, 0);
            const qsizetype widened = form == HighBytes::Widened ? 6 * high : 0;
            FUZZ_CHECK(hex.size() == 2 * shown + blanksShown + widened, "BytesToHex's length");
            FUZZ_CHECK(hex.count(u' ') == blanksShown, "BytesToHex's blanks");
        }
    }
}

// The reader's result by its rule, worked out from the groups' values: an area of n holds
// n - 1 bytes; the group that finds it full (every (n - 1)th from the (n - 1)th on) is
// dropped and the bytes after it follow the first; a zero ends the result.
QByteArray ExpectedArea(const QByteArray& values, qsizetype areaSize) {
    const qsizetype room = areaSize - 1;
    QByteArray kept;
    if (values.size() <= room) {
        kept = values;
    } else {
        const qsizetype lastDrop = (values.size() - 1) / room * room;
        kept = values.left(1) + values.mid(lastDrop + 1);
    }
    const qsizetype zero = kept.indexOf('\0');
    return zero < 0 ? kept : kept.left(zero);
}

// The groups of a text as the reader takes them: the trimmed text cut at every separator.
QByteArray GroupValues(const QByteArray& text, HexGroupChars groups) {
    QByteArray cut = TrimBytes(text);
    if (groups == HexGroupChars::HexDigits) {
        for (char& c : cut)
            if (!std::isxdigit(static_cast<unsigned char>(c))) c = ' ';
    }
    QByteArray values;
    for (const QByteArray& group : cut.split(' '))
        values += static_cast<char>(HexGroupByte(group));
    return values;
}

// The group reader on any text, in any area: bounded by the area, and by its rule; the
// formatter's text reads back as its bytes, as far as the area and a zero byte let it.
void CheckHexGroups(const QByteArray& bytes, qsizetype areaSize) {
    for (const HexGroupChars groups : {HexGroupChars::HexDigits, HexGroupChars::AllButBlank}) {
        qsizetype steps = 0;
        const QByteArray read = HexGroupsToBytes(bytes, groups, areaSize, [&] { ++steps; });
        FUZZ_CHECK(read.size() <= areaSize - 1, "the group reader overran its area");
        FUZZ_CHECK(!read.contains('\0'), "the group reader kept a zero byte");
        FUZZ_CHECK(steps == TrimBytes(bytes).size() + 1, "the group reader missed a step");
        FUZZ_CHECK(read == ExpectedArea(GroupValues(bytes, groups), areaSize),
                   "the group reader broke its area's rule");
    }
    const QByteArray widened =
        BytesToHex(bytes, HexBlanks::BeforeEach, HighBytes::Widened).toLatin1();
    FUZZ_CHECK(HexGroupsToBytes(widened, HexGroupChars::AllButBlank, areaSize) ==
                   ExpectedArea(bytes, areaSize),
               "send box hex -> bytes changed the bytes");
    const QByteArray between = BytesToHex(bytes, HexBlanks::Between).toLatin1();
    FUZZ_CHECK(HexGroupsToBytes(between, HexGroupChars::HexDigits, areaSize) ==
                   ExpectedArea(bytes, areaSize),
               "display hex -> bytes changed the bytes");
}

// A group's byte: the value of its last two characters when all are digits.
void CheckHexGroupByte(const QByteArray& group) {
    const uint8_t byte = HexGroupByte(group);
    bool digitsOnly = true;
    for (const char c : group)
        digitsOnly = digitsOnly && std::isxdigit(static_cast<unsigned char>(c));
    if (digitsOnly)
        FUZZ_CHECK(byte == std::strtoul(group.right(2).constData(), nullptr, 16),
                   "HexGroupByte is not the group's low byte");
}

// The send buffer: within its limit, no zero byte; the formatter's text reads back.
void CheckSendBuffer(const QByteArray& bytes, const QString& text) {
    QByteArray out;
    for (const bool hexForm : {true, false}) {
        if (BuildSendBuffer(text, hexForm, out, MaxSendBytes)) {
            FUZZ_CHECK(out.size() <= MaxSendBytes, "the send buffer passed its limit");
            FUZZ_CHECK(!out.contains('\0'), "the send buffer kept a zero byte");
        }
    }
    const QString hex = BytesToHex(bytes, HexBlanks::BeforeEach, HighBytes::Widened);
    const qsizetype zero = bytes.indexOf('\0');
    const QByteArray sent = zero < 0 ? bytes : bytes.left(zero);
    FUZZ_CHECK(BuildSendBuffer(hex, true, out, MaxSendBytes) == (sent.size() <= MaxSendBytes),
               "the send buffer judged its limit wrongly");
    if (sent.size() <= MaxSendBytes) FUZZ_CHECK(out == sent, "send hex -> bytes changed the bytes");
}

// The send box's characters: any bytes shown as its text turn back into the same bytes,
// and its two conversions take a text to hexadecimal and back to the same text, as far as
// the 1024-byte area and a zero byte let them.
constexpr qsizetype PlainAreaSize = 1024; // the send box's conversion to characters

void CheckEditText(const QByteArray& bytes, const QString& text) {
    const QString shown = BytesToEditText(bytes);
    FUZZ_CHECK(EditTextToBytes(shown) == bytes, "send box bytes -> text -> bytes changed them");
    for (const QString& typed : {shown, text}) {
        const QByteArray sent = EditTextToBytes(typed);
        const QString hex = BytesToHex(sent, HexBlanks::BeforeEach, HighBytes::Widened);
        const QByteArray back =
            HexGroupsToBytes(hex.toUtf8(), HexGroupChars::AllButBlank, PlainAreaSize);
        FUZZ_CHECK(back == ExpectedArea(sent, PlainAreaSize),
                   "send box text -> hex -> text changed the bytes");
    }
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
    CheckBytesToHex(bytes);
    // Small areas restart often; the window's own sizes as well.
    const qsizetype areaSize = 2 + (bytes.isEmpty() ? 0 : static_cast<uint8_t>(bytes[0]) % 64);
    for (const qsizetype area : {areaSize, qsizetype{1024}, qsizetype{3072}})
        CheckHexGroups(bytes, area);
    for (const QByteArray& group : bytes.split(' '))
        CheckHexGroupByte(group);
    CheckSendBuffer(bytes, text);
    CheckEditText(bytes, text);
    CheckLineBreaks(bytes);
    for (const QString& group : text.split(u' ')) {
        CheckHexToInt(group);
        if (group.size() <= 40) CheckIntegers(group);
    }
    return 0;
}
