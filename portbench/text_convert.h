// Byte and text helpers shared by the receive display and the send panel.
#ifndef PORTBENCH_TEXT_CONVERT_H
#define PORTBENCH_TEXT_CONVERT_H

#include <QByteArray>
#include <QString>
#include <cstdint>

// Removes every leading and trailing byte of value 0x00 to 0x20.
QByteArray TrimBytes(const QByteArray& bytes);
QString TrimText(const QString& text); // the same on characters up to U+0020

// Two upper-case hexadecimal digits with a leading zero.
QString HexByte(uint8_t byte);

// The hexadecimal group parser: fails on more than 8 characters (value left
// untouched); stops at the first non-digit keeping the digits taken so far.
bool HexToInt(const QString& text, int32_t& value);

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

// A whole decimal number; throws AppError("'<text>' is not a valid integer value").
int32_t StrToInt(const QString& text);
// A whole decimal number, or `fallback` when the text is not one.
int32_t StrToIntDef(const QString& text, int32_t fallback);

#endif
