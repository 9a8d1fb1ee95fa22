// Byte and text helpers shared by the receive display and the send panel.
#ifndef PORTBENCH_TEXT_CONVERT_H
#define PORTBENCH_TEXT_CONVERT_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>

// Removes every leading and trailing byte of value 0x00 to 0x20.
QByteArray TrimBytes(const QByteArray& bytes);
QString TrimText(const QString& text); // the same on characters up to U+0020

// Two upper-case hexadecimal digits with a leading zero.
QString HexByte(uint8_t byte);

// The hexadecimal group parser: fails on more than 8 characters (value left
// untouched); stops at the first non-digit keeping the digits taken so far.
bool HexToInt(const QString& text, int32_t& value);

// The low byte of a hexadecimal group as HexToInt reads it. A group of more
// than eight characters is read as its last eight, which gives the same low
// byte a wider reading would, instead of a stale value.
uint8_t HexGroupByte(QByteArrayView group);

// Runs after each byte of a long conversion (the window passes ProcessEvents);
// may be empty.
using EachByte = std::function<void()>;
// Runs the pending events, so that a long conversion keeps the window responsive.
void ProcessEvents();

// Where the blanks of a byte's hexadecimal form stand: " 41 42" or "41 42".
enum class HexBlanks { BeforeEach, Between };
// Bytes of 0x80 and above: as two digits ("E4"), as the byte's signed value
// widened to 32 bits ("FFFFFFE4"), or left out.
enum class HighBytes { AsByte, Widened, Dropped };

// Each byte as two upper-case hexadecimal digits (HexByte), with its blank.
QString BytesToHex(QByteArrayView bytes, HexBlanks blanks, HighBytes high = HighBytes::AsByte,
                   const EachByte& eachByte = {});

// What makes up a hexadecimal group; any other character closes it.
enum class HexGroupChars { HexDigits, AllButBlank };

// Hexadecimal groups to bytes, written into a fixed output area of `areaSize`
// bytes, its ending zero included (at least 2). The text is trimmed
// (TrimBytes) and a blank added that closes the last group. Every closing
// character writes the byte of the group before it (HexGroupByte), also of an
// empty one; the result is the area up to its first zero, so a byte 0 ends it.
// A group that finds the area full is dropped, and writing starts again behind
// the first byte. The result has at most areaSize - 1 bytes.
QByteArray HexGroupsToBytes(QByteArrayView text, HexGroupChars groups, qsizetype areaSize,
                            const EachByte& eachByte = {});

// What the send buffer holds before its terminating zero (Portline's own copy
// has the same size).
constexpr qsizetype MaxSendBytes = 255;

// The bytes that go on the line for the send box's text. In hexadecimal form,
// groups are runs of bytes above 0x20 (any run of bytes up to 0x20 separates
// them) and a group of value 0 ends the data; in plain form the text's bytes
// (EditTextToBytes) up to a zero byte. False when more than `maxBytes` remain.
bool BuildSendBuffer(const QString& text, bool hexForm, QByteArray& out,
                     qsizetype maxBytes = MaxSendBytes);

// The display's text (QPlainTextEdit::toPlainText) as the system's 8-bit text:
// lines joined by CR LF, UTF-8.
QByteArray DisplayToBytes(const QString& displayText);
// 8-bit text for the display: CR LF, and a lone CR or LF, become one line break.
QString BytesToDisplay(const QByteArray& bytes);
// The same for text already decoded.
QString NormalizeLineBreaks(const QString& text);

// The send box's text of bytes and back, without losing a byte: UTF-8 where
// the bytes are UTF-8; every other byte (0x80 to 0xFF) stands as one character
// of the private-use range U+EF80 to U+EFFF, which turns back into that byte.
// Such a character coming from valid UTF-8 is written byte by byte too, so
// that EditTextToBytes(BytesToEditText(b)) == b for any b.
QString BytesToEditText(const QByteArray& bytes);
QByteArray EditTextToBytes(const QString& text);

// The system's 8-bit text (the locale's encoding, a code page on Windows), in
// which port names, parameter texts and the Windows settings file cross to the
// library and to the system.
QByteArray Native8Bit(const QString& text);

// A whole decimal number; throws AppError("'<text>' is not a valid integer value").
int32_t StrToInt(const QString& text);
// A whole decimal number, or `fallback` when the text is not one.
int32_t StrToIntDef(const QString& text, int32_t fallback);

#endif
