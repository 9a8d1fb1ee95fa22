// A load-cell result that arrives while a display conversion runs waits for the
// conversion and then starts a line of its own in the converted text.
#include "send_panel_fixture.h"

#include <QTest>
#include <QTimer>

namespace {

class HeldAppendTest : public LineTest {
  protected:
    // Puts `text` in the display, in the given form, then converts it with a
    // click on CheckBox1 during which READ_A is pressed; returns the display.
    QString ConvertWithReadAddress(const QString& text, bool fromHex) {
        {
            const QSignalBlocker quiet(form->CheckBox1);
            form->CheckBox1->setChecked(fromHex);
        }
        form->Memo1->setPlainText(text);
        bool pressedDuring = false;
        QTimer::singleShot(0, form.get(), [&] {
            pressedDuring = form->Memo1->toPlainText() == text; // not converted yet
            QTest::mouseClick(form->Button2, Qt::LeftButton);
        });
        QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
        EXPECT_TRUE(pressedDuring);
        EXPECT_NE(form->CheckBox1->isChecked(), fromHex);
        return Display();
    }
};

TEST_F(HeldAppendTest, AReadAddressDuringAConversionLandsOnALineOfItsOwn) {
    portsim::Config oneCell;
    oneCell.cells = {portsim::Cell{5}};
    OpenLine(oneCell);
    const QString line = QString::fromUtf8("当前传感器的地址:5");
    struct Case {
        const char* before;
        bool fromHex;
        QString after;
    };
    const Case cases[] = {
        {"AB\n", false, "41 42 0D 0A\n" + line + "\n"},
        {"AB", false, "41 42\n" + line},
        {"41 42 0D 0A", true, "AB\n" + line},
        {"41 42", true, "AB\n" + line},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        QString shown;
        Retry([&] {
            shown = ConvertWithReadAddress(c.before, c.fromHex);
            return shown == c.after;
        });
        EXPECT_EQ(shown, c.after);
    }
}

} // namespace
