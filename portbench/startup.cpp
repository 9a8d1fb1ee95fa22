// FormCreate and FormShow: the port list, then the settings and captions; and
// the end of the program when the main window closes.
#include "form1.h"

#include "language.h"
#include "messages.h"
#include "port_list.h"
#include "settings.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QSignalBlocker>
#include <QThread>

void TForm1::FormCreate() {
    // The platform's device list stands in for a port registry; an empty list
    // leaves the box empty and says nothing.
    const QStringList ports = AvailablePortNames();
    ComboBox1->clear();
    ComboBox1->addItems(ports);
    if (!ports.isEmpty()) ComboBox1->setEditText(ports.first());
    CurrentLanguage = ChineseLanguage;
}

void TForm1::FormShow() {
    // Qt paints every widget through an off-screen buffer already, so there is
    // no double buffering to turn on.
    {
        TIniFile settings(SettingsPath());

        // Edit and combo texts are set as a user would type them: a text that
        // differs runs the control's change handler, an equal one runs nothing.
        ComboBox1->setEditText(settings.ReadString(SettingsKeys::Port));
        Edit1->setText(settings.ReadString(SettingsKeys::Parameter));
        Edit2->setText(settings.ReadString(SettingsKeys::SendData));
        CurrentLanguage = settings.ReadString(SettingsKeys::Language);

        // Check and radio boxes are restored with their handlers detached, so
        // that restoring converts nothing, starts no timer and stores nothing.
        const QString sendType = settings.ReadString(SettingsKeys::SendType);
        {
            const QSignalBlocker block1(RadioButton1);
            const QSignalBlocker block2(RadioButton2);
            if (sendType == "ASCII")
                RadioButton2->setChecked(true);
            else
                RadioButton1->setChecked(true);
        }
        Edit3->setText(settings.ReadString(SettingsKeys::Interval));
        const QString continuous = settings.ReadString(SettingsKeys::Continuous);
        {
            const QSignalBlocker block(CheckBox2);
            CheckBox2->setChecked(continuous == "Yes");
        }
        const QString showType = settings.ReadString(SettingsKeys::ShowType);
        {
            const QSignalBlocker block(CheckBox1);
            if (showType == "ASCII") {
                CheckBox1->setChecked(false);
            } else {
                CheckBox1->setChecked(true);
                CheckBox1->setText("Hex/Ascii");
            }
        }
    }
    // Long texts show from their start, as they do before the user edits them.
    for (QLineEdit* edit : {ComboBox1->lineEdit(), Edit1, Edit2, Edit3})
        edit->setCursorPosition(0);
    ApplyLanguage();
}

// Closing the main window ends the loop, whatever other windows stand open (the
// Chinese About box has no owner). An open port is closed through the library,
// so that it is released at once (a session's signals close the window too);
// an address scan that runs stops before its write.
void TForm1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    closing_ = true;
    Timer2->stop();
    if (PortOpen) RunHandler([this] { ReleasePort(); });
    // Outside a running loop there is nothing to end, and exit() would make the
    // next loop end at once.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}
