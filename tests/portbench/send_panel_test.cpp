// The send panel without a line: the two form conversions, the refusals on a
// closed port, the timed-send timer and the stored settings.
#include "send_panel_fixture.h"

#include <QKeyEvent>
#include <QTest>

namespace {

class SendPanelTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Show();
    }

    // Converts `text` from one form to the other, as a click on the radio button would.
    QString ToHex(const QString& text) {
        PlainForm();
        form->Edit2->setText(text);
        form->RadioButton1->click();
        return form->Edit2->text();
    }
    QString ToPlain(const QString& text) {
        if (!form->RadioButton1->isChecked()) {
            form->Edit2->clear();
            form->RadioButton1->click();
        }
        form->Edit2->setText(text);
        form->RadioButton2->click();
        return form->Edit2->text();
    }
    void PlainForm() {
        if (form->RadioButton2->isChecked()) return;
        form->Edit2->clear();
        form->RadioButton2->click();
    }
};

TEST_F(SendPanelTest, ConversionToHexPutsABlankBeforeEveryTrimmedByte) {
    EXPECT_EQ(ToHex("AB"), " 41 42");
    EXPECT_EQ(ToHex(" \tA B\t "), " 41 20 42");
    EXPECT_EQ(ToHex(""), "");
    EXPECT_EQ(ToHex("~"), " 7E");
}

TEST_F(SendPanelTest, ConversionToPlainTextSeparatesOnTheBlankOnly) {
    EXPECT_EQ(ToPlain(" 41 42"), "AB");
    EXPECT_EQ(ToPlain("41  42"), "A");    // the empty token between two blanks ends it
    EXPECT_EQ(ToPlain("41 00 42"), "A");  // so does 00
    EXPECT_EQ(ToPlain("41 G4 42"), "A");  // and a token starting with a non-digit
    EXPECT_EQ(ToPlain("4G 61"), "@a");    // digits before the first non-digit
    EXPECT_EQ(ToPlain("0x41 42"), "");    // 0x41 reads as 0
    EXPECT_EQ(ToPlain("4142 143"), "BC"); // longer tokens give their low byte
    EXPECT_EQ(ToPlain("43 41\t42"), "C"); // a tab belongs to the token: 41<tab>42 reads 0
}

TEST_F(SendPanelTest, TokensLongerThanEightDigitsGiveTheLowByteOfTheirValue) {
    EXPECT_EQ(ToPlain("12345678941 FFFFFFFFFF42 43"), "ABC");
    EXPECT_EQ(ToPlain("123456789"), QString(QChar(0xEF89))); // a lone 0x89 byte
}

TEST_F(SendPanelTest, AChineseCharacterRoundTripsThroughBothConversions) {
    const QString zhong = QString::fromUtf8("中");
    EXPECT_EQ(ToHex(zhong), " FFFFFFE4 FFFFFFB8 FFFFFFAD");
    EXPECT_EQ(ToPlain(" FFFFFFE4 FFFFFFB8 FFFFFFAD"), zhong);
    const QString mixed = QString::fromUtf8("A中B");
    EXPECT_EQ(ToPlain(ToHex(mixed)), mixed);
}

// A byte that is no part of a UTF-8 character stands as a character of its
// own (U+EF80 to U+EFFF) and converts back to the same byte.
TEST_F(SendPanelTest, BytesThatAreNoCharacterConvertBackUnchanged) {
    const QString plain = ToPlain(" B0 A1 41");
    EXPECT_EQ(plain, QString(QChar(0xEFB0)) + QChar(0xEFA1) + u'A');
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
    EXPECT_EQ(form->Edit2->text(), " FFFFFFB0 FFFFFFA1 41");
    // Valid UTF-8 for one of those characters is kept byte by byte as well.
    EXPECT_EQ(ToHex(ToPlain("EE BE B0")), " FFFFFFEE FFFFFFBE FFFFFFB0");
    // The untouched result of a conversion converts back untrimmed; a typed text is trimmed.
    ToPlain(" 20 09 41 0D 20");
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
    EXPECT_EQ(form->Edit2->text(), " 20 09 41 0D 20");
    ToPlain(" 20 09 41 0D 20");
    QTest::keyClick(form->Edit2, Qt::Key_End);
    QTest::keyClicks(form->Edit2, "B");
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
    EXPECT_EQ(form->Edit2->text(), " 41 0D 20 42");
}

TEST_F(SendPanelTest, ThePlainTextAreaRestartsAfterItsFirstByteWhenFull) {
    QString hex;
    for (int i = 0; i < 1023; ++i)
        hex += "41 ";
    // The 1024th token finds the area full: it is dropped and writing goes on at the second byte.
    hex += "42 43 44";
    EXPECT_EQ(ToPlain(hex), "ACD");

    QString exact;
    for (int i = 0; i < 1023; ++i)
        exact += "61 ";
    EXPECT_EQ(ToPlain(exact), QString(1023, u'a'));
}

TEST_F(SendPanelTest, TheDataAndItsFormAreStored) {
    form->Edit2->setText("41 42");
    EXPECT_EQ(Stored("send", "data"), "41 42");
    form->RadioButton2->click();
    EXPECT_EQ(Stored("send", "type"), "ASCII");
    EXPECT_EQ(Stored("send", "data"), "AB");
    form->RadioButton1->click();
    EXPECT_EQ(Stored("send", "type"), "HEX");
    EXPECT_EQ(Stored("send", "data"), "41 42"); // a stored value is read back trimmed
}

TEST_F(SendPanelTest, ASendOnAClosedPortIsRefusedAndStopsThePoll) {
    form->Edit2->setText("41");
    form->Timer1->start();
    ReleaseMouse(form->Button5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8("请先打开串口!"));
    EXPECT_EQ(boxes[0].caption, QString::fromUtf8("提示"));
    EXPECT_FALSE(form->Timer1->isActive());

    form->CurrentLanguage = "English";
    form->Timer1->start();
    ReleaseMouse(form->Button5, Qt::RightButton); // any mouse button sends
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Please open the serial port at first!");
    EXPECT_EQ(boxes[1].caption, "Prompting");
    EXPECT_FALSE(form->Timer1->isActive());

    // A language other than the two counts as Chinese here.
    form->CurrentLanguage = "english";
    ReleaseMouse(form->Button5);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].caption, QString::fromUtf8("提示"));
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
}

TEST_F(SendPanelTest, TheKeyboardDoesNotSend) {
    form->Edit2->setText("41");
    form->Button5->click();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, " ");
        QCoreApplication::sendEvent(form->Button5, &key);
    }
    Pump(100);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SendPanelTest, TheIntervalIsTheNumberInEdit3Or100) {
    form->Edit3->setText("abc");
    form->CheckBox2->click();
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 100);
    EXPECT_EQ(Stored("Time", "Continuous"), "Yes");
    EXPECT_EQ(Stored("Time", "Long"), "abc");

    form->Edit3->setText("250");
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 250);
    EXPECT_EQ(Stored("Time", "Long"), "250");

    form->CheckBox2->click();
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_EQ(Stored("Time", "Continuous"), "No");
    // Edited while off: the interval changes, the timer stays off.
    form->Edit3->setText("300");
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 300);
}

TEST_F(SendPanelTest, AZeroOrNegativeIntervalGivesNoTicks) {
    int ticks = 0;
    QObject::connect(form->Timer2, &QTimer::timeout, [&ticks] { ++ticks; });
    for (const char* interval : {"0", "-20"}) {
        form->Edit3->setText(interval);
        if (!form->CheckBox2->isChecked()) form->CheckBox2->click();
        EXPECT_FALSE(form->Timer2->isActive()) << interval;
        Pump(200);
        EXPECT_EQ(ticks, 0) << interval;
    }
    // Still switched on: a positive interval brings the ticks back.
    form->Edit3->setText("20");
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_TRUE(WaitFor([&] { return ticks >= 2; }));
}

TEST_F(SendPanelTest, AChangedIntervalRestartsTheCount) {
    form->Edit3->setText("5000");
    form->CheckBox2->click();
    Pump(600);
    ASSERT_LT(form->Timer2->remainingTime(), 4700);
    form->Edit3->setText("6000");
    EXPECT_GT(form->Timer2->remainingTime(), 5500);
}

TEST_F(SendPanelTest, AnEditThatKeepsTheIntervalKeepsTheCount) {
    form->Edit3->setText("5000");
    form->CheckBox2->click();
    Pump(600);
    const int before = form->Timer2->remainingTime();
    ASSERT_LT(before, 4700);
    QTest::keyClick(form->Edit3, Qt::Key_Home);
    QTest::keyClick(form->Edit3, Qt::Key_0);
    ASSERT_EQ(form->Edit3->text(), "05000");
    EXPECT_EQ(Stored("Time", "Long"), "05000");
    EXPECT_LE(form->Timer2->remainingTime(), before);
    EXPECT_TRUE(form->Timer2->isActive());
    QTest::keyClick(form->Edit3, Qt::Key_Backspace); // 5000 again
    ASSERT_EQ(form->Edit3->text(), "5000");
    EXPECT_LE(form->Timer2->remainingTime(), before);
    QTest::keyClick(form->Edit3, Qt::Key_End);
    QTest::keyClick(form->Edit3, Qt::Key_Backspace); // 500: a new interval
    EXPECT_GT(form->Timer2->remainingTime(), 250);
    EXPECT_EQ(form->Timer2->interval(), 500);
}

TEST_F(SendPanelTest, TimedTicksOnAClosedPortOnlyStopThePoll) {
    form->Edit2->setText("41");
    form->Edit3->setText("20");
    int ticks = 0;
    QObject::connect(form->Timer2, &QTimer::timeout, [&ticks] { ++ticks; });
    form->Timer1->start();
    form->CheckBox2->click();
    ASSERT_TRUE(WaitFor([&] { return ticks >= 5; }));
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_TRUE(boxes.empty());
}

} // namespace

namespace {

using SendPanelStartTest = FormTest;

TEST_F(SendPanelStartTest, AStoredTimedSendShowsTickedButWaitsForTheUser) {
    TIniFile settings(SettingsPath());
    settings.WriteString("Time", "Continuous", "Yes");
    settings.WriteString("Time", "Long", "50");
    Show();
    EXPECT_TRUE(form->CheckBox2->isChecked());
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 50);
    form->CheckBox2->click();
    EXPECT_FALSE(form->Timer2->isActive());
    form->CheckBox2->click();
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 50);
}

} // namespace
