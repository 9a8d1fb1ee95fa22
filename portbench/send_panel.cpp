// Send panel: send once or on a timer, the data-form conversions, DTR and RTS.
#include "form1.h"

#include "language.h"
#include "portline.h"
#include "settings.h"
#include "text_convert.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace {

// What the send buffer holds before its terminating zero (Portline's own copy
// has the same size).
constexpr qsizetype MaxSendBytes = 255;
// Output area of the conversion to plain text, terminating zero included.
constexpr qsizetype PlainAreaSize = 1024;

// The low byte of a hexadecimal group. HexToInt rejects more than eight
// characters; such a group is read as its last eight, which gives the same low
// byte a longer reading would.
uint8_t GroupByte(const QByteArray& group) {
    const QByteArray digits = group.size() > 8 ? group.right(8) : group;
    int32_t value = 0;
    HexToInt(QString::fromLatin1(digits), value);
    return static_cast<uint8_t>(value);
}

// The bytes that go on the line for the text of Edit2. A zero byte ends the
// data, so nothing after it is kept. False when more than MaxSendBytes remain.
bool BuildSendBuffer(const QString& text, bool hexForm, QByteArray& out) {
    out.clear();
    if (!hexForm) {
        out = EditTextToBytes(text);
        const qsizetype zero = out.indexOf('\0');
        if (zero >= 0) out.truncate(zero);
        return out.size() <= MaxSendBytes;
    }
    // Groups are runs of bytes above 0x20; any run of bytes up to 0x20 separates them.
    const QByteArray source = text.toUtf8() + ' ';
    QByteArray group;
    for (const char c : source) {
        if (static_cast<uint8_t>(c) > 0x20) {
            group += c;
            continue;
        }
        if (group.isEmpty()) continue;
        const uint8_t byte = GroupByte(group);
        group.clear();
        if (byte == 0) break;
        out += static_cast<char>(byte);
        if (out.size() > MaxSendBytes) return false;
    }
    return true;
}

QString FormatReply(const QByteArray& reply, bool hexDisplay) {
    if (!hexDisplay) return BytesToDisplay(reply);
    QString text;
    text.reserve(reply.size() * 3);
    for (const char c : reply) {
        text += u' ';
        text += HexByte(static_cast<uint8_t>(c));
    }
    return text;
}

void WriteSetting(const SettingsKey& key, const QString& value) {
    TIniFile(SettingsPath()).WriteString(key, value);
}

} // namespace

void TForm1::Button5MouseUp() {
    SendEdit2(false);
}

void TForm1::Timer2Timer() {
    if (Timer1->isActive()) StopPoll();
    if (!Edit2->text().isEmpty() && PortOpen) SendEdit2(true);
}

// The send of Button5 and of the timed send; the timed one refuses silently.
void TForm1::SendEdit2(bool timed) {
    // The poll stays off after a send until the port is opened again.
    StopPoll();
    if (!PortOpen) {
        ShowMessage(TextId::PortNotOpen, CurrentLanguage);
        return;
    }
    if (Edit2->text().isEmpty()) {
        ShowMessage(TextId::NoSendData, CurrentLanguage);
        Edit2->setFocus();
        return;
    }
    QByteArray data;
    if (!BuildSendBuffer(Edit2->text(), RadioButton1->isChecked(), data)) {
        if (timed) return;
        ShowMessage(TextId::SendTooLong, CurrentLanguage);
        Edit2->setFocus();
        return;
    }
    std::array<char, MaxSendBytes + 1> buffer{};
    std::copy(data.cbegin(), data.cend(), buffer.begin());
    const char* reply = WriteSendData(buffer.data());
    // The reply lives in Portline's buffer: copy it before anything else runs.
    const QString text = FormatReply(QByteArray(reply ? reply : ""), CheckBox1->isChecked());
    if (!text.isEmpty()) AppendToDisplay(text);
}

void TForm1::CheckBox2Click() {
    timedSendOn_ = CheckBox2->isChecked();
    SetTimer2Interval(StrToIntDef(Edit3->text(), 100));
    WriteSetting(SettingsKeys::Continuous, timedSendOn_ ? "Yes" : "No");
    WriteSetting(SettingsKeys::Interval, Edit3->text());
}

void TForm1::Edit3Change() {
    // Only a changed interval restarts the count (5000 and 05000 are one).
    const int32_t ms = StrToIntDef(Edit3->text(), 100);
    if (std::max(ms, 0) != Timer2->interval()) SetTimer2Interval(ms);
    WriteSetting(SettingsKeys::Interval, Edit3->text());
}

// Timer2 ticks while the timed send is on and the interval is positive. A
// QTimer of interval 0 would fire at every pass of the event loop, so it is
// never started with one. Starting an active timer restarts its count.
void TForm1::SetTimer2Interval(int32_t ms) {
    if (ms <= 0) {
        Timer2->stop();
        Timer2->setInterval(0);
        return;
    }
    Timer2->setInterval(ms);
    if (timedSendOn_)
        Timer2->start();
    else
        Timer2->stop();
}

void TForm1::Edit2Change() {
    WriteSetting(SettingsKeys::SendData, Edit2->text());
}

// A text that the conversion to plain text made, unchanged since, turns back
// into exactly its bytes; a typed one is trimmed first.
void TForm1::RadioButton1Click() {
    const QByteArray bytes = EditTextToBytes(Edit2->text());
    const QByteArray source = Edit2->text() == plainConversion_ ? bytes : TrimBytes(bytes);
    QString hex;
    hex.reserve(source.size() * 9);
    for (const char c : source) {
        const auto byte = static_cast<uint8_t>(c);
        // A byte of 0x80 or above shows as its signed value widened to 32 bits.
        hex += byte >= 0x80 ? QStringLiteral(" FFFFFF") : QStringLiteral(" ");
        hex += HexByte(byte);
        QCoreApplication::processEvents();
    }
    Edit2->setText(hex);
    WriteSetting(SettingsKeys::SendType, "HEX");
}

void TForm1::RadioButton2Click() {
    const QByteArray source = TrimBytes(Edit2->text().toUtf8()) + ' ';
    std::array<char, PlainAreaSize> area{};
    qsizetype position = 0;
    QByteArray token;
    for (const char c : source) {
        if (c != ' ') {
            token += c;
        } else if (position >= PlainAreaSize - 1) {
            // Full: this token is dropped and writing starts again after the first byte.
            token.clear();
            position = 1;
        } else {
            area[position++] = static_cast<char>(GroupByte(token));
            token.clear();
        }
        area[position] = '\0';
        QCoreApplication::processEvents();
    }
    plainConversion_ = BytesToEditText(QByteArray(area.data()));
    Edit2->setText(plainConversion_);
    WriteSetting(SettingsKeys::SendType, "ASCII");
}

void TForm1::CheckBox3Click() {
    SetDTR(CheckBox3->isChecked() ? 1 : 0);
}
void TForm1::CheckBox4Click() {
    SetRTS(CheckBox4->isChecked() ? 1 : 0);
}
