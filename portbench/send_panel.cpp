// Send panel: send once or on a timer, the data-form conversions, DTR and RTS.
#include "send_panel.h"

#include "form1.h"
#include "language.h"
#include "messages.h"
#include "portline.h"
#include "settings.h"
#include "text_convert.h"
#include "window_timings.h"

#include <algorithm>
#include <array>

namespace {

// Output area of the conversion to plain text, terminating zero included.
constexpr qsizetype PlainAreaSize = 1024;

QString FormatReply(const QByteArray& reply, bool hexDisplay) {
    return hexDisplay ? BytesToHex(reply, HexBlanks::BeforeEach) : BytesToDisplay(reply);
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
    QByteArray bytes;
    if (!BuildSendBuffer(Edit2->text(), RadioButton1->isChecked(), bytes)) {
        if (timed) return;
        ShowMessage(TextId::SendTooLong, CurrentLanguage);
        Edit2->setFocus();
        return;
    }
    std::array<char, MaxSendBytes + 1> buffer{};
    std::copy(bytes.cbegin(), bytes.cend(), buffer.begin());
    const char* reply = WriteSendData(buffer.data());
    // The reply lives in Portline's buffer: copy it before anything else runs.
    const QString text = FormatReply(QByteArray(reply ? reply : ""), CheckBox1->isChecked());
    if (!text.isEmpty()) AppendToDisplay(text);
}

void TForm1::CheckBox2Click() {
    sendPanel_.SetTimedSendOn(CheckBox2->isChecked());
    SetTimer2Interval(StrToIntDef(Edit3->text(), WindowTimings::TimedSendFallbackMs));
    WriteSetting(SettingsKeys::Continuous, sendPanel_.TimedSendOn() ? "Yes" : "No");
    WriteSetting(SettingsKeys::Interval, Edit3->text());
}

void TForm1::Edit3Change() {
    // Only a changed interval restarts the count (5000 and 05000 are one).
    const int32_t ms = StrToIntDef(Edit3->text(), WindowTimings::TimedSendFallbackMs);
    if (std::max(ms, 0) != Timer2->interval()) SetTimer2Interval(ms);
    WriteSetting(SettingsKeys::Interval, Edit3->text());
}

void SendPanelState::SetInterval(QTimer& timer, int32_t ms) const {
    if (ms <= 0) {
        timer.stop();
        timer.setInterval(0);
        return;
    }
    timer.setInterval(ms);
    if (timedSendOn_)
        timer.start();
    else
        timer.stop();
}

void TForm1::SetTimer2Interval(int32_t ms) {
    sendPanel_.SetInterval(*Timer2, ms);
}

void TForm1::Edit2Change() {
    WriteSetting(SettingsKeys::SendData, Edit2->text());
}

// A text that the conversion to plain text made, unchanged since, turns back
// into exactly its bytes; a typed one is trimmed first. A byte of 0x80 or
// above shows as its signed value widened to 32 bits.
void TForm1::RadioButton1Click() {
    const QByteArray bytes = EditTextToBytes(Edit2->text());
    const QByteArray source =
        sendPanel_.IsPlainConversion(Edit2->text()) ? bytes : TrimBytes(bytes);
    Edit2->setText(BytesToHex(source, HexBlanks::BeforeEach, HighBytes::Widened, ProcessEvents));
    WriteSetting(SettingsKeys::SendType, "HEX");
}

// Tokens between blanks are hexadecimal groups.
void TForm1::RadioButton2Click() {
    const QByteArray bytes = HexGroupsToBytes(Edit2->text().toUtf8(), HexGroupChars::AllButBlank,
                                              PlainAreaSize, ProcessEvents);
    const QString plain = BytesToEditText(bytes);
    sendPanel_.SetPlainConversion(plain);
    Edit2->setText(plain);
    WriteSetting(SettingsKeys::SendType, "ASCII");
}

void TForm1::CheckBox3Click() {
    SetDTR(CheckBox3->isChecked() ? 1 : 0);
}
void TForm1::CheckBox4Click() {
    SetRTS(CheckBox4->isChecked() ? 1 : 0);
}
