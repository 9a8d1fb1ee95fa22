// The receive display end to end: a device on a pseudo-terminal sends, the
// library reads, and the poll shows the bytes in hex or as characters.
#include "port_panel_test_line.h"

#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

class ReceiveTest : public LineFormTest {
  protected:
    void SetUp() override {
        LineFormTest::SetUp();
        Show();
    }

    // Opens a new device's port with the display in the given form.
    Device& OpenInForm(bool hex) {
        Device& device = NewDevice();
        DisplayForm(hex);
        OpenWithButton(device);
        return device;
    }

    bool Shows(const QString& text) {
        const bool shown = WaitFor([&] { return Display() == text; }, 10000);
        EXPECT_TRUE(shown) << "shows \"" << Display().toStdString() << "\", expected \""
                           << text.toStdString() << "\"";
        return shown;
    }
};

TEST_F(ReceiveTest, HexDisplayShowsABlankAndTwoDigitsPerByte) {
    Device& device = OpenInForm(true);
    device.Send("\x41\x0D\x0A"); // the first chunk into an empty display loses its leading blank
    ASSERT_TRUE(Shows("41 0D 0A"));
    device.Send("\x7F\xFF\x20");
    ASSERT_TRUE(Shows("41 0D 0A 7F FF 20"));
}

TEST_F(ReceiveTest, HexDisplayKeepsTheBlankOfALoneFirstByte) {
    Device& device = OpenInForm(true);
    // A zero byte ends a chunk, so each of these is a poll of one byte.
    device.Send(portsim::Bytes{0x41, 0x00});
    ASSERT_TRUE(Shows(" 41"));
    device.Send(portsim::Bytes{0x42, 0x00, 0x43});
    ASSERT_TRUE(Shows(" 41 42"));
}

// The library reads at most as many bytes as the count it published last, which
// can still be the size of the previous chunk; the sends below therefore never
// grow, so that each arrives as one poll.

TEST_F(ReceiveTest, AsciiDisplayDropsControlBytesOnlyFromTheFirstChunk) {
    Device& device = OpenInForm(false);
    device.Send("AB CD\r\n");
    ASSERT_TRUE(Shows("ABCD"));

    device.Send("AB\r\n"); // later chunks are shown byte for byte, the line break included
    ASSERT_TRUE(Shows("ABCDAB\n"));
    device.Send(" \t\r\n"); // blanks and control bytes alone are never shown
    WaitTaken(device);
    device.Send("\r\n");
    WaitTaken(device);
    EXPECT_EQ(Display(), "ABCDAB\n");
    device.Send("xy");
    ASSERT_TRUE(Shows("ABCDAB\nxy"));
}

TEST_F(ReceiveTest, AsciiDisplayJoinsACharacterAndALineBreakSplitAcrossPolls) {
    Device& device = OpenInForm(false);
    device.Send("0123456789abcdef");
    ASSERT_TRUE(Shows("0123456789abcdef"));
    device.Send("\rD\nE\r\nF"); // a lone CR or LF is a line break too
    ASSERT_TRUE(Shows("0123456789abcdef\nD\nE\nF"));
    const QString start = Display();
    device.Send("\xE4\xB8\xAD"
                "A\xE4\xB8"); // the last character is cut after its second byte
    ASSERT_TRUE(Shows(start + QString::fromUtf8("中A")));
    device.Send("\xAD"
                "B\r");
    ASSERT_TRUE(Shows(start + QString::fromUtf8("中A中B\n")));
    device.Send("\nC"); // the LF completes the CR LF of the previous poll
    ASSERT_TRUE(Shows(start + QString::fromUtf8("中A中B\nC")));
    device.Send("\x80\xFF"); // bytes that are no part of a character
    ASSERT_TRUE(Shows(start + QString::fromUtf8("中A中B\nC\uFFFD\uFFFD")));
}

TEST_F(ReceiveTest, AsciiDisplayJoinsACrLfWithEmptyPollsBetween) {
    Device& device = OpenInForm(false);
    device.Send("0123456789abcdef"); // later chunks keep their control bytes
    ASSERT_TRUE(Shows("0123456789abcdef"));
    device.Send("ABCD\r"); // both halves of the same size, so each is one poll
    ASSERT_TRUE(Shows("0123456789abcdefABCD\n"));
    Pump(1000); // several polls that find nothing
    device.Send("\nEF\r\n");
    ASSERT_TRUE(Shows("0123456789abcdefABCD\nEF\n"));
    Pump(400);
    EXPECT_EQ(Display(), "0123456789abcdefABCD\nEF\n");
}

TEST_F(ReceiveTest, AsciiDisplayLosesNoByteAfterABrokenCharacter) {
    Device& device = OpenInForm(false);
    device.Send("0123456789abcdef");
    ASSERT_TRUE(Shows("0123456789abcdef"));
    const QString bad(QChar(0xFFFD));
    QString shown = Display();
    // Two bytes a poll; each first poll ends in a lead byte, which waits for the rest.
    struct Case {
        const char* first;
        const char* second;
        QString adds;
    };
    const Case cases[] = {
        {"A\xC3", "xy", "A" + bad + "xy"}, // the rest does not come
        {"B\xC3", "\xC3\xA9", "B" + bad + QString::fromUtf8("é")},
        {"C\xC3", "\r\n", "C" + bad}, // shows nothing of its own, but ends the character
        {"D\xC3",
         "\xA9"
         "E",
         QString::fromUtf8("DéE")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        device.Send(c.first);
        WaitTaken(device);
        EXPECT_EQ(Display(), shown + c.first[0]);
        device.Send(c.second);
        shown += c.adds;
        ASSERT_TRUE(Shows(shown));
    }
}

TEST_F(ReceiveTest, ACharacterStartWaitingWhenASendOrACommandStopsThePollIsShown) {
    const QString bad(QChar(0xFFFD));
    for (QPushButton* button :
         {static_cast<QPushButton*>(form->Button5), static_cast<QPushButton*>(form->Button2)}) {
        SCOPED_TRACE(button->text().toStdString());
        if (form->PortOpen) form->BitBtn1->click(); // a new stream for each case
        form->Memo1->clear();
        Device& device = OpenInForm(false);
        device.Send("0123456789abcdef");
        ASSERT_TRUE(Shows("0123456789abcdef"));
        device.Send("\xC3");
        WaitTaken(device);
        ASSERT_EQ(Display(), "0123456789abcdef");

        form->Edit2->setText("41");
        QTest::mouseClick(button, Qt::LeftButton); // the device answers nothing
        EXPECT_FALSE(form->Timer1->isActive());
        EXPECT_TRUE(Display().startsWith("0123456789abcdef" + bad)) << Display().toStdString();
    }
    // READ_A's line follows on a line of its own.
    EXPECT_EQ(Display(), "0123456789abcdef" + bad + "\n" +
                             QString::fromUtf8("读地址不成功,请检测通讯连接是否正确"));
}

TEST_F(ReceiveTest, ThePollStopsWithTheClose) {
    Device& device = OpenInForm(true);
    device.Send("\x31\x32");
    ASSERT_TRUE(Shows("31 32"));
    form->BitBtn1->click();
    ASSERT_FALSE(form->PortOpen);
    device.Send("\x33\x34");
    Pump(1000);
    EXPECT_EQ(Display(), "31 32");
}

TEST_F(ReceiveTest, ThePollWaitsForAConversionAndShowsTheDataAfterItInTheNewForm) {
    Device& device = OpenInForm(false);
    device.Send("ab");
    ASSERT_TRUE(Shows("ab"));
    form->Memo1->setPlainText("ab\n" + QString("0123456789").repeated(8));

    // While the conversion runs, data arrives and the poll's timer fires several times.
    bool ranDuring = false;
    QTimer::singleShot(0, form.get(), [&] {
        ranDuring = Display().startsWith("ab\n");
        device.Send("\x51\x52");
        Pump(1200);
    });
    form->CheckBox1->click();
    ASSERT_TRUE(ranDuring);
    EXPECT_TRUE(WaitFor([&] { return Display().endsWith("38 39 51 52"); }, 10000))
        << Display().right(40).toStdString();
}

TEST_F(ReceiveTest, AStreamKeepsTheHistoryAndTheViewAtTheEnd) {
    Device& device = OpenInForm(true);
    // 80 bytes a burst: each burst adds more than one wrapped line.
    for (int burst = 0; burst < 40; ++burst) {
        portsim::Bytes bytes(80, static_cast<uint8_t>(0x30 + burst % 10));
        device.Send(bytes);
        const QString tail = QString(" 3%1").arg(burst % 10).repeated(80).right(12);
        ASSERT_TRUE(WaitFor([&] { return Display().endsWith(tail); }, 10000)) << burst;
    }
    QScrollBar* bar = form->Memo1->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_LT(Display().size(), 40 * 80 * 3);
    EXPECT_TRUE(Display().endsWith(QString(" 39").repeated(80).mid(1)));
}

} // namespace
