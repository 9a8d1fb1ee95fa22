// The port panel on real pseudo-terminals: opening and closing from both
// buttons, picking a port from the list, parameters applied to the open port,
// the stored settings and the messages in both languages.
#include "glyphs.h"
#include "port_panel_test_line.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

QImage Picture(const QIcon& icon) {
    return icon.pixmap(QSize(15, 15)).toImage();
}

// A full press and release over `button`, through the application object as the
// event loop delivers it (so an error escaping the handler reaches the error box).
void MouseClick(QWidget* button) {
    const QPointF at(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QCoreApplication::sendEvent(button, &release);
}

class PortPanelTest : public LineFormTest {
  protected:
    void SetUp() override {
        LineFormTest::SetUp();
        Show();
    }

    // Picks entry `index` of the port list, as the mouse or the arrow keys do.
    void Pick(int index) {
        form->ComboBox1->setCurrentIndex(index);
        emit form->ComboBox1->activated(index);
    }

    bool LampLit() const { return Picture(form->BitBtn1->icon()) == Picture(LampGlyph(true)); }
    bool LampUnlit() const { return Picture(form->BitBtn1->icon()) == Picture(LampGlyph(false)); }

    // Data from `device` reaches the display (the poll runs on that port).
    bool Receives(Device& device, const char* bytes, const QString& shown) {
        device.Send(bytes);
        return WaitFor([&] { return Display().endsWith(shown); }, 10000);
    }
};

struct Language {
    const char* name;
    const char* open;
    const char* close;
    const char* bytes; // sent while open
    const char* shown;
};
const Language Chinese{"Chinese", "打开", "关闭", "\x41\x42", "41 42"};
const Language English{"English", "Open", "Close", "\x43\x44", "43 44"};

TEST_F(PortPanelTest, MissingNameOrParametersAreRefusedInBothLanguages) {
    struct Case {
        const char* language;
        QPushButton* TForm1::*button;
        bool emptyName;
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {"Chinese", &TForm1::BitBtn1, true, "必须选择串口号", "提示"},
        {"English", &TForm1::BitBtn1, true, "Please select the available serial port", "tip"},
        {"Chinese", &TForm1::BitBtn1, false, "请设置串口基本通讯参数", "提示"},
        {"English", &TForm1::BitBtn1, false, "Please setup serial communication parameters!",
         "tip"},
        {"Chinese", &TForm1::Button1, true, "请选择串口号", "tip"},
        {"English", &TForm1::Button1, true, "Please select the available serial port", "tip"},
        {"Chinese", &TForm1::Button1, false, "请设置基本通讯参数!", "tip"},
        {"English", &TForm1::Button1, false, "Please setup serial communication parameters!",
         "tip"},
        {"english", &TForm1::BitBtn1, true, "必须选择串口号", "提示"}, // only "English" is English
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.text);
        form->CurrentLanguage = c.language;
        form->ComboBox1->setEditText(c.emptyName ? "" : "/dev/null");
        form->Edit1->setText(c.emptyName ? "9600,n,8,1" : "");
        boxes.clear();
        (form.get()->*c.button)->click();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(boxes[0].caption, QString::fromUtf8(c.caption));
        EXPECT_FALSE(form->PortOpen);
        EXPECT_FALSE(form->Timer1->isActive());
    }
}

TEST_F(PortPanelTest, AMissingPortIsReportedAndNothingIsStored) {
    struct Case {
        const char* language;
        QPushButton* TForm1::*button;
        const char* text;
        const char* caption;
        const char* buttonCaption;
    };
    const Case cases[] = {
        {"Chinese", &TForm1::BitBtn1, "串口打开失败, 请检查串口是否存在, ", "提示", "打开"},
        {"English", &TForm1::BitBtn1, "Open the serial port failure, or does not exist, check it",
         "Prompting", "Open"},
        {"Chinese", &TForm1::Button1, "串口打开失败,请检查串口是否存在!", "Prompting", "Open"},
        {"English", &TForm1::Button1, "Open the serial port failure, or does not exist, check it",
         "Prompting", "Open"},
    };
    const QString missing = QDir(settingsDir.path()).filePath("no-such-port");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.text);
        form->CurrentLanguage = c.language;
        form->ComboBox1->setEditText(missing);
        boxes.clear();
        (form.get()->*c.button)->click();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(boxes[0].caption, QString::fromUtf8(c.caption));
        EXPECT_EQ((form.get()->*c.button)->text(), QString::fromUtf8(c.buttonCaption));
        EXPECT_FALSE(form->PortOpen);
        EXPECT_FALSE(form->Timer1->isActive());
    }
    EXPECT_TRUE(LampUnlit());
    EXPECT_FALSE(QFile::exists(SettingsFile()));
}

TEST_F(PortPanelTest, OpenAndCloseInBothLanguages) {
    Device& device = NewDevice();
    for (const Language& language : {Chinese, English}) {
        SCOPED_TRACE(language.name);
        form->CurrentLanguage = language.name;
        form->ComboBox1->setEditText(device.Path());
        PrimeReader(device);
        form->BitBtn1->click();
        ASSERT_TRUE(form->PortOpen);
        WaitReader(device);
        EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8(language.close));
        EXPECT_TRUE(LampLit());
        EXPECT_TRUE(form->Timer1->isActive());
        EXPECT_EQ(Stored("COM", "Port"), device.Path());
        EXPECT_EQ(Stored("COM", "parameter"), "9600,n,8,1");
        EXPECT_TRUE(Receives(device, language.bytes, language.shown));

        form->BitBtn1->click();
        EXPECT_FALSE(form->PortOpen);
        EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8(language.open));
        EXPECT_TRUE(LampUnlit());
        EXPECT_FALSE(form->Timer1->isActive());
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(Picture(LampGlyph(true)), Picture(LampGlyph(false)));
}

TEST_F(PortPanelTest, ClosingWithAnEmptyBoxIsRefusedAndThePortStaysOpen) {
    Device& device = NewDevice();
    OpenWithButton(device);
    form->ComboBox1->setEditText("");
    form->BitBtn1->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8("必须选择串口号"));
    EXPECT_TRUE(form->PortOpen);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(Receives(device, "\x43\x44", "43 44"));
}

TEST_F(PortPanelTest, PickingAPortOpensItAndPickingAnotherSwitchesToIt) {
    Device& first = NewDevice();
    Device& second = NewDevice();
    form->ComboBox1->clear();
    form->ComboBox1->addItems({first.Path(), second.Path(), "no-such-port"});

    PrimeReader(first);
    Pick(0); // closed: opens at once, no further click
    ASSERT_TRUE(form->PortOpen);
    WaitReader(first);
    EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8("关闭"));
    EXPECT_TRUE(Receives(first, "\x31\x31", "31 31"));

    PrimeReader(second);
    Pick(1); // open: closes the first port and opens the picked one
    ASSERT_TRUE(form->PortOpen);
    WaitReader(second);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Stored("COM", "Port"), second.Path());
    first.Send("\x39\x39");
    EXPECT_TRUE(Receives(second, "\x32\x32", "32 32"));
    EXPECT_FALSE(Display().contains("39")) << Display().toStdString();

    Pick(2); // cannot be opened: reported, and neither port stays open
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8("串口打开失败, 请检查串口是否存在, "));
    EXPECT_FALSE(form->PortOpen);
    EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8("打开"));
    EXPECT_FALSE(form->Timer1->isActive());
    // The second port is free again: the panel opens it anew.
    Pick(1);
    EXPECT_TRUE(form->PortOpen);
}

TEST_F(PortPanelTest, ParametersTypedWhileOpenReachThePort) {
    Device& device = NewDevice();
    OpenWithButton(device);
    EXPECT_EQ(device.Baud(), speed_t(B9600));

    form->Edit1->clear(); // an empty text is neither applied nor stored
    EXPECT_EQ(Stored("COM", "parameter"), "9600,n,8,1");
    for (const QChar c : QString("19200,n,8,1")) {
        form->Edit1->insert(c); // keystroke by keystroke
        EXPECT_EQ(Stored("COM", "parameter"), form->Edit1->text());
    }
    EXPECT_EQ(device.Baud(), speed_t(B19200));
    EXPECT_TRUE(form->PortOpen);
    EXPECT_TRUE(Receives(device, "\x45\x46", "45 46"));
}

TEST_F(PortPanelTest, ParametersTypedWhileClosedAreStoredAndUsedAtTheNextOpen) {
    Device& device = NewDevice();
    form->Edit1->setText("4800,n,8,1");
    EXPECT_EQ(Stored("COM", "parameter"), "4800,n,8,1");
    OpenWithButton(device);
    EXPECT_EQ(device.Baud(), speed_t(B4800));
}

TEST_F(PortPanelTest, TheCoveredButtonOpensWithItsOwnTextsAndEmptiesTheDisplay) {
    Device& device = NewDevice();
    form->Memo1->setPlainText("earlier text");
    form->ComboBox1->setEditText(device.Path());
    PrimeReader(device);

    // It is reached from the keyboard only: the focus, then the space bar.
    form->Button1->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QCoreApplication::sendEvent(form->Button1, &press);
    QCoreApplication::sendEvent(form->Button1, &release);

    ASSERT_TRUE(form->PortOpen);
    WaitReader(device);
    EXPECT_EQ(form->Button1->text(), "Close");
    EXPECT_EQ(Display(), "");
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8("打开")); // the other button is left alone
    EXPECT_TRUE(LampUnlit());
    EXPECT_FALSE(QFile::exists(SettingsFile())); // nothing stored
    EXPECT_TRUE(Receives(device, "\x41\x0D\x0A", "41 0D 0A"));

    // PortOpen alone decides: the other button now closes the port.
    form->BitBtn1->click();
    EXPECT_FALSE(form->PortOpen);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Button1->text(), "Close");

    form->CurrentLanguage = "English";
    form->Button1->click();
    ASSERT_TRUE(form->PortOpen);
    form->Button1->click();
    EXPECT_FALSE(form->PortOpen);
    EXPECT_EQ(form->Button1->text(), "Open");
    form->CurrentLanguage = "Chinese";
    form->Button1->click();
    form->Button1->click();
    EXPECT_EQ(form->Button1->text(), QString::fromUtf8("打开"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PortPanelTest, AnUnwritableSettingsFileLeavesThePortOpen) {
    Device& device = NewDevice();
    ASSERT_TRUE(QDir().mkdir(SettingsFile())); // a folder where the file should be
    form->ComboBox1->setEditText(device.Path());
    PrimeReader(device);
    MouseClick(form->BitBtn1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith("Unable to write to")) << errors[0].toStdString();
    EXPECT_TRUE(form->PortOpen);
    EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8("关闭"));
    EXPECT_TRUE(form->Timer1->isActive());
    WaitReader(device);
    EXPECT_TRUE(Receives(device, "\x41\x42", "41 42"));
}

} // namespace
