// The send panel on a real line: what goes out for each form of Edit2, the
// reply in the display, the refusals on an open port and the timed send.
#include "send_panel_fixture.h"
#include "text_convert.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

using portsim::Bytes;

class SendLineTest : public LineTest {
  protected:
    // Sends the text of Edit2 in the given form and returns what the line carried.
    Bytes SendAs(const QString& text, bool hexForm) {
        (hexForm ? form->RadioButton1 : form->RadioButton2)->setChecked(true);
        form->Edit2->setText(text);
        bench->ClearReceived();
        ReleaseMouse(form->Button5);
        return SettledReceived();
    }

    // The same where bytes are expected on the line (see Retry).
    void ExpectSent(const QString& text, bool hexForm, const Bytes& expected) {
        Bytes sent;
        Retry([&] {
            sent = SendAs(text, hexForm);
            return sent == expected;
        });
        EXPECT_EQ(sent, expected) << text.toStdString();
    }

    // Sends with the display holding `before` and expects it to hold `after`.
    void ExpectShown(const QString& before, const QString& text, bool hexForm,
                     const QString& after) {
        Retry([&] {
            form->Memo1->setPlainText(before);
            SendAs(text, hexForm);
            return Display() == after;
        });
        EXPECT_EQ(Display(), after);
    }
};

TEST_F(SendLineTest, HexGroupsUpToTheFirstZeroByte) {
    OpenLine({});
    ExpectSent("01 03 00 00 00 0A", true, {0x01, 0x03});
    ExpectSent("41\t  42 43", true, {0x41, 0x42, 0x43});
    ExpectSent("141", true, {0x41});
    ExpectSent(" 4g\r\n12345678941 ", true, {0x40, 0x41});
    EXPECT_EQ(SendAs("0x41 42", true), Bytes{}); // 0x41 reads as 00: nothing to send
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(SendLineTest, PlainTextGoesAsItsBytesUntrimmed) {
    OpenLine({});
    ExpectSent("AB ", false, {0x41, 0x42, 0x20});
    ExpectSent(QString::fromUtf8(" 中"), false, {0x20, 0xE4, 0xB8, 0xAD});
}

TEST_F(SendLineTest, AChineseCharacterConvertedToHexSendsItsBytes) {
    OpenLine({});
    form->RadioButton2->setChecked(true);
    form->Edit2->setText(QString::fromUtf8("中"));
    form->RadioButton1->click();
    ASSERT_EQ(form->Edit2->text(), " FFFFFFE4 FFFFFFB8 FFFFFFAD");
    ExpectSent(form->Edit2->text(), true, {0xE4, 0xB8, 0xAD});
}

TEST_F(SendLineTest, TheEchoIsAppendedInTheDisplayForm) {
    portsim::Config echo;
    echo.echo = true;
    OpenLine(echo);
    form->CheckBox1->setChecked(true);
    // Untrimmed: the first reply in an empty display keeps its leading blank.
    ExpectShown("", "41 42 43", true, " 41 42 43");
    ExpectShown(" 41 42 43", "20 0D 0A", true, " 41 42 43 20 0D 0A");

    form->CheckBox1->setChecked(false);
    // A line break, shown although it trims to nothing.
    ExpectShown("AB", "0D 0A", true, "AB\n");
    ExpectShown("AB\n", "  x", false, "AB\n  x");
}

TEST_F(SendLineTest, NoReplyShowsNothing) {
    OpenLine({});
    form->Memo1->setPlainText("AB");
    SendAs("41", true);
    EXPECT_EQ(Display(), "AB");
}

TEST_F(SendLineTest, EmptyDataIsRefusedInTheCurrentLanguage) {
    OpenLine({});
    form->Edit2->clear();
    ReleaseMouse(form->Button5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8("请填写发送数据!"));
    EXPECT_EQ(boxes[0].caption, QString::fromUtf8("提示"));
    EXPECT_EQ(form->focusWidget(), form->Edit2);
    EXPECT_FALSE(form->Timer1->isActive());

    form->CurrentLanguage = "English";
    form->Button3->setFocus();
    ReleaseMouse(form->Button5);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Please enter the data to be sent!");
    EXPECT_EQ(boxes[1].caption, "Prompting");
    EXPECT_EQ(form->focusWidget(), form->Edit2);
    EXPECT_TRUE(SettledReceived().empty());
}

TEST_F(SendLineTest, MoreThan255BytesAreRefusedInEitherForm) {
    OpenLine({});
    QString hex255;
    for (int i = 0; i < 255; ++i)
        hex255 += "61 ";
    const QString hex256 = hex255 + "62";
    // 85 Chinese characters are 255 bytes, one more byte makes 256.
    const QString plain255 = QString::fromUtf8("中").repeated(85);

    EXPECT_EQ(SendAs(hex256, true), Bytes{});
    EXPECT_EQ(SendAs(QString(256, u'a'), false), Bytes{});
    EXPECT_EQ(SendAs(plain255 + "a", false), Bytes{});
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8("一次最多发送255个字节!"));
    EXPECT_EQ(boxes[0].caption, QString::fromUtf8("提示"));
    form->CurrentLanguage = "English";
    EXPECT_EQ(SendAs(hex256, true), Bytes{});
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[3].text, "At most 255 bytes can be sent at once!");
    EXPECT_EQ(boxes[3].caption, "Prompting");

    // Bytes after a zero group are never sent, so they do not count.
    ExpectSent("41 00 " + hex256, true, {0x41});
    // The limit itself goes out (a pty is not paced, so the whole text fits the window).
    boxes.clear();
    ExpectSent(hex255, true, Bytes(255, 0x61));
    const QByteArray utf8 = plain255.toUtf8();
    ExpectSent(plain255, false, Bytes(utf8.begin(), utf8.end()));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SendLineTest, TheTimedSendRepeatsAtTheIntervalTyped) {
    OpenLine({});
    form->Edit2->setText("55");
    form->Edit3->setText("200");
    QElapsedTimer clock;
    clock.start();
    form->CheckBox2->click();
    ASSERT_TRUE(WaitFor([&] { return bench->Received().size() >= 4; }, 10000));
    form->CheckBox2->click();
    const qint64 elapsed = clock.elapsed();
    const Bytes sent = SettledReceived();
    EXPECT_EQ(sent, Bytes(sent.size(), 0x55));
    // Never more often than the interval allows (a timer may come a little early).
    EXPECT_LE(static_cast<qint64>(sent.size()), elapsed / 180 + 1);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SendLineTest, TheTimedSendSkipsSilently) {
    OpenLine({});
    form->Edit3->setText("30");
    int ticks = 0;
    QObject::connect(form->Timer2, &QTimer::timeout, form->Timer2, [&ticks] { ++ticks; });
    form->CheckBox2->click();
    // Empty data, then too much of it: neither sends nor shows a box.
    form->Edit2->clear();
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
    form->RadioButton2->setChecked(true);
    form->Edit2->setText(QString(300, u'a'));
    const int before = ticks;
    ASSERT_TRUE(WaitFor([&] { return ticks >= before + 3; }));
    form->CheckBox2->click();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(SettledReceived().empty());
}

TEST_F(SendLineTest, TheModemLinesCanBeSwitchedOnAnOpenPort) {
    OpenLine({});
    form->CheckBox3->click();
    form->CheckBox4->click();
    form->CheckBox3->click();
    form->CheckBox4->click();
    // Line settings survive: the port still carries data.
    ExpectSent("41", true, {0x41});
}

// Hex to plain text and back changes no byte: the send puts the same bytes
// on the line in both forms, for every byte value 01 to FF.
TEST_F(SendLineTest, EveryByteGoesOutUnchangedAfterBothConversions) {
    OpenLine({});
    QString hex;
    Bytes all;
    for (int byte = 0x01; byte <= 0xFF; ++byte) {
        hex += u' ' + HexByte(static_cast<uint8_t>(byte));
        all.push_back(static_cast<uint8_t>(byte));
    }
    const auto sendsAll = [&] {
        Bytes sent;
        Retry([&] {
            bench->ClearReceived();
            ReleaseMouse(form->Button5);
            sent = SettledReceived();
            return sent == all;
        });
        return sent;
    };
    ASSERT_TRUE(form->RadioButton1->isChecked());
    form->Edit2->setText(hex);
    EXPECT_EQ(sendsAll(), all);
    QTest::mouseClick(form->RadioButton2, Qt::LeftButton);
    ASSERT_TRUE(form->RadioButton2->isChecked());
    EXPECT_EQ(sendsAll(), all);
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
    ASSERT_TRUE(form->RadioButton1->isChecked());
    EXPECT_EQ(sendsAll(), all);

    // The case as it was met: B0 went out as EF BF BD.
    form->Edit2->setText(" B0 A1 41");
    QTest::mouseClick(form->RadioButton2, Qt::LeftButton);
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
    ExpectSent(form->Edit2->text(), true, {0xB0, 0xA1, 0x41});
}

} // namespace
