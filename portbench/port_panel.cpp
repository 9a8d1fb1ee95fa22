// Port panel: open, close and reconfigure the port.
#include "form1.h"

#include "glyphs.h"
#include "language.h"
#include "portline.h"
#include "settings.h"
#include "text_convert.h"

// What sets the two open buttons apart: their texts, the lamp, and what a
// successful open does besides opening.
struct PortButton {
    QPushButton* button;
    TextId noPortName;
    TextId noLineParameters;
    TextId openFailed;
    TextId openedCaption;
    TextId failedCaption;
    bool lamp;       // a glyph that shows whether the port is open
    bool stores;     // the port and its parameters go to the settings file
    bool clearsMemo; // the display starts empty
};

// Opens the port when PortOpen is false, otherwise closes it. A closed port
// gives the button its open-state caption; a failed close changes nothing.
void TForm1::TogglePort(const PortButton& b) {
    if (ComboBox1->currentText().isEmpty()) {
        ShowMessage(b.noPortName, CurrentLanguage);
        return;
    }
    if (Edit1->text().isEmpty()) {
        ShowMessage(b.noLineParameters, CurrentLanguage);
        return;
    }
    if (!PortOpen) {
        if (OpenPort(Native8Bit(ComboBox1->currentText()).constData(),
                     Native8Bit(Edit1->text()).constData(), 1) == 1) {
            if (b.lamp) b.button->setIcon(LampGlyph(true));
            b.button->setText(TextOf(b.openedCaption, CurrentLanguage));
            if (b.clearsMemo) Memo1->clear();
            PortOpen = true;
            ++portChanges_;
            ResetReceiveStream();
            Timer1->start();
            if (deviceWatch_.Watch(ComboBox1->currentText())) LostDeviceCheck->start();
            if (b.stores) {
                WriteSetting(SettingsKeys::Port, ComboBox1->currentText());
                WriteSetting(SettingsKeys::Parameter, Edit1->text());
            }
        } else {
            if (b.lamp) b.button->setIcon(LampGlyph(false));
            b.button->setText(TextOf(b.failedCaption, CurrentLanguage));
            ShowMessage(b.openFailed, CurrentLanguage);
            PortOpen = false;
        }
        return;
    }
    if (ReleasePort()) {
        if (b.lamp) b.button->setIcon(LampGlyph(false));
        b.button->setText(TextOf(TextId::OpenCaption, CurrentLanguage));
    }
}

bool TForm1::ReleasePort() {
    ClearPort();
    if (ClosePort() != 0) return false;
    StopPoll();
    LostDeviceCheck->stop();
    deviceWatch_.Stop();
    PortOpen = false;
    ++portChanges_;
    return true;
}

// The device went away under the open port: the window goes to its closed
// state as Close would, whatever the library says of the dead line, and says
// so once. Open works again once the device is back.
void TForm1::LostDeviceTimer() {
    if (!PortOpen || !deviceWatch_.Lost()) return;
    LostDeviceCheck->stop();
    deviceWatch_.Stop();
    if (!ReleasePort()) {
        StopPoll();
        PortOpen = false;
        ++portChanges_;
    }
    Timer2->stop(); // a timed send has no line left; its box stays as it is
    BitBtn1->setIcon(LampGlyph(false));
    BitBtn1->setText(TextOf(TextId::OpenCaption, CurrentLanguage));
    if (Button1->text() == TextOf(TextId::TwinCloseCaption, CurrentLanguage))
        Button1->setText(TextOf(TextId::OpenCaption, CurrentLanguage));
    ShowMessage(TextId::DeviceLost, CurrentLanguage);
}

void TForm1::BitBtn1Click() {
    TogglePort({BitBtn1, TextId::NoPortName, TextId::NoLineParameters, TextId::OpenFailed,
                TextId::CloseCaption, TextId::OpenCaption, /*lamp=*/true, /*stores=*/true,
                /*clearsMemo=*/false});
}

// The plain button that BitBtn1 covers: reached only with the keyboard. It has
// its own texts, stores nothing and empties the display on open.
void TForm1::Button1Click() {
    TogglePort({Button1, TextId::TwinNoPortName, TextId::TwinNoLineParameters,
                TextId::TwinOpenFailed, TextId::TwinCloseCaption, TextId::TwinOpenCaption,
                /*lamp=*/false, /*stores=*/false, /*clearsMemo=*/true});
}

// An item picked from the list: the caption, not PortOpen, says whether a port
// must be closed first, so picking always ends with the picked port open, or
// with the message that it failed to open and no port open.
void TForm1::ComboBox1Click() {
    const QString caption = BitBtn1->text();
    if (caption == TextOf(TextId::OpenCaption, EnglishLanguage) ||
        caption == TextOf(TextId::OpenCaption, ChineseLanguage)) {
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
    SetupPort(Native8Bit(params).constData());
    WriteSetting(SettingsKeys::Parameter, params);
}
