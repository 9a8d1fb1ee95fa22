// The keyboard in the main window: Tab and Shift+Tab walk the controls in the
// window's tab order, through the display too, and the tool bar takes no focus.
#include "form_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

class KeyboardTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The control that has the keyboard; an editable box's edit line counts as the box.
    static QWidget* Focused() {
        QWidget* focused = QApplication::focusWidget();
        if (focused)
            if (auto* box = qobject_cast<QComboBox*>(focused->parentWidget()))
                if (box->lineEdit() == focused) return box;
        return focused;
    }

    // The controls' names, for the failure messages.
    QString Names(const QList<QWidget*>& walked) const {
        const QStringList names{
            "Memo1",     "ComboBox1", "Edit1",        "Button1",      "CheckBox1", "BitBtn1",
            "Edit2",     "Button5",   "RadioButton1", "RadioButton2", "CheckBox2", "Edit3",
            "CheckBox3", "CheckBox4", "ComboBox2",    "Button3",      "Button2",   "Button4"};
        const QList<QWidget*> order{form->Memo1,        form->ComboBox1, form->Edit1,
                                    form->Button1,      form->CheckBox1, form->BitBtn1,
                                    form->Edit2,        form->Button5,   form->RadioButton1,
                                    form->RadioButton2, form->CheckBox2, form->Edit3,
                                    form->CheckBox3,    form->CheckBox4, form->ComboBox2,
                                    form->Button3,      form->Button2,   form->Button4};
        QStringList shown;
        for (QWidget* w : walked) {
            const qsizetype at = order.indexOf(w);
            shown << (at >= 0 ? names[at] : w ? QString(w->metaObject()->className()) : "none");
        }
        return shown.join(", ");
    }

    // Where `count` presses of the key lead, one control per press.
    QList<QWidget*> Walk(int count, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QList<QWidget*> visited;
        for (int i = 0; i < count; ++i) {
            QWidget* from = QApplication::focusWidget();
            if (!from) break;
            QTest::keyClick(from, key, modifiers);
            visited << Focused();
        }
        return visited;
    }

    // The two radio buttons are one exclusive pair and one Tab stop, at the
    // first; the arrow keys move between them.
    QList<QWidget*> TabOrder() const {
        TForm1& f = *form;
        QList<QWidget*> order{f.Memo1,     f.ComboBox1, f.Edit1,     f.Button1,      f.CheckBox1,
                              f.BitBtn1,   f.Edit2,     f.Button5,   f.RadioButton1, f.RadioButton2,
                              f.CheckBox2, f.Edit3,     f.CheckBox3, f.CheckBox4,    f.ComboBox2,
                              f.Button3,   f.Button2,   f.Button4};
        order.removeOne(f.RadioButton2);
        return order;
    }
};

void ExpectSame(const QList<QWidget*>& walked, const QList<QWidget*>& expected) {
    ASSERT_EQ(walked.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(walked[i], expected[i]) << "step " << i + 1;
}

TEST_F(KeyboardTest, TabWalksTheWholeWindowFromTheDisplayAndShiftTabWalksBack) {
    const QList<QWidget*> order = TabOrder();
    form->Memo1->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(Focused(), form->Memo1);

    // Round the window and back into the display, which took no tab character.
    QList<QWidget*> forward = order.mid(1);
    forward << form->Memo1;
    const QList<QWidget*> walked = Walk(order.size(), Qt::Key_Tab);
    SCOPED_TRACE(Names(walked).toStdString());
    ExpectSame(walked, forward);
    EXPECT_EQ(form->Memo1->toPlainText(), "");

    // Shift+Tab, as the keyboard delivers it (Backtab with Shift), the same way back.
    QList<QWidget*> backward;
    for (qsizetype i = order.size() - 1; i >= 0; --i)
        backward << order[i];
    const QList<QWidget*> back = Walk(order.size(), Qt::Key_Backtab, Qt::ShiftModifier);
    SCOPED_TRACE(Names(back).toStdString());
    ExpectSame(back, backward);
    EXPECT_EQ(form->Memo1->toPlainText(), "");
}

TEST_F(KeyboardTest, TheToolButtonsTakeNoFocus) {
    for (QToolButton* button : {form->ToolButton1, form->ToolButton2, form->ToolButton3,
                                form->ToolButton4, form->ToolButton5})
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    form->Edit2->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(form->ToolButton4, Qt::LeftButton); // the language switch
    EXPECT_EQ(form->CurrentLanguage, "English");
    EXPECT_EQ(Focused(), form->Edit2);
}

} // namespace
