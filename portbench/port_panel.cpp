// Port panel: open, close and reconfigure the port.
#include "form1.h"

#include "glyphs.h"
#include "messages.h"
#include "portline.h"
#include "settings.h"

namespace {

// One of two fixed texts, English only when the language is exactly "English".
QString Pick(const QString& language, const char* english, const char* chinese) {
    return language == "English" ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

// Port names and parameter texts cross to the library in the system's 8-bit text.
QByteArray Native(const QString& text) {
    return text.toLocal8Bit();
}

} // namespace

void TForm1::BitBtn1Click() {
    if (ComboBox1->currentText().isEmpty()) {
        ShowMessageBox(
            Pick(CurrentLanguage, "Please select the available serial port", "必须选择串口号"),
            Pick(CurrentLanguage, "tip", "提示"));
        return;
    }
    if (Edit1->text().isEmpty()) {
        ShowMessageBox(Pick(CurrentLanguage, "Please setup serial communication parameters!",
                            "请设置串口基本通讯参数"),
                       Pick(CurrentLanguage, "tip", "提示"));
        return;
    }
    if (!PortOpen) {
        if (OpenPort(Native(ComboBox1->currentText()).constData(),
                     Native(Edit1->text()).constData(), 1) == 1) {
            BitBtn1->setIcon(LampGlyph(true));
            BitBtn1->setText(Pick(CurrentLanguage, "Close", "关闭"));
            PortOpen = true;
            ++portChanges_;
            ResetReceiveStream();
            Timer1->start();
            TIniFile settings(SettingsPath());
            settings.WriteString("COM", "port", ComboBox1->currentText());
            settings.WriteString("COM", "parameter", Edit1->text());
        } else {
            BitBtn1->setIcon(LampGlyph(false));
            BitBtn1->setText(Pick(CurrentLanguage, "Open", "打开"));
            ShowMessageBox(Pick(CurrentLanguage,
                                "Open the serial port failure, or does not exist, check it",
                                "串口打开失败, 请检查串口是否存在, "),
                           Pick(CurrentLanguage, "Prompting", "提示"));
            PortOpen = false;
        }
        return;
    }
    ClearPort();
    if (ClosePort() == 0) {
        BitBtn1->setIcon(LampGlyph(false));
        BitBtn1->setText(Pick(CurrentLanguage, "Open", "打开"));
        StopPoll();
        PortOpen = false;
        ++portChanges_;
    }
}

// The plain button that BitBtn1 covers: reached only with the keyboard. It has
// its own texts, stores nothing and empties the display on open.
void TForm1::Button1Click() {
    if (ComboBox1->currentText().isEmpty()) {
        ShowMessageBox(
            Pick(CurrentLanguage, "Please select the available serial port", "请选择串口号"),
            "tip");
        return;
    }
    if (Edit1->text().isEmpty()) {
        ShowMessageBox(Pick(CurrentLanguage, "Please setup serial communication parameters!",
                            "请设置基本通讯参数!"),
                       "tip");
        return;
    }
    if (!PortOpen) {
        if (OpenPort(Native(ComboBox1->currentText()).constData(),
                     Native(Edit1->text()).constData(), 1) == 1) {
            Button1->setText("Close");
            Memo1->clear();
            PortOpen = true;
            ++portChanges_;
            ResetReceiveStream();
            Timer1->start();
        } else {
            Button1->setText("Open");
            ShowMessageBox(Pick(CurrentLanguage,
                                "Open the serial port failure, or does not exist, check it",
                                "串口打开失败,请检查串口是否存在!"),
                           "Prompting");
            PortOpen = false;
        }
        return;
    }
    ClearPort();
    if (ClosePort() == 0) {
        Button1->setText(Pick(CurrentLanguage, "Open", "打开"));
        StopPoll();
        PortOpen = false;
        ++portChanges_;
    }
}

// An item picked from the list: the caption, not PortOpen, says whether a port
// must be closed first, so picking always ends with the picked port open (or M3).
void TForm1::ComboBox1Click() {
    const QString caption = BitBtn1->text();
    if (caption == "Open" || caption == QString::fromUtf8("打开")) {
        BitBtn1Click();
    } else {
        BitBtn1Click();
        BitBtn1Click();
    }
}

// Every non-empty text, partial ones included, goes to the port and the settings file.
void TForm1::Edit1Change() {
    const QString params = Edit1->text();
    if (params.isEmpty()) return;
    SetupPort(Native(params).constData());
    TIniFile(SettingsPath()).WriteString("COM", "parameter", params);
}
