// The load-cell commands on a closed port: each is refused with its own box in
// the current language and stops the poll all the same.
#include "send_panel_fixture.h"

namespace {

class LoadCellClosedTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Show();
    }

    // Releases the mouse on `button` with the poll running; returns the one box shown.
    RecordedBox Refusal(QPushButton* button) {
        boxes.clear();
        form->Timer1->start();
        ReleaseMouse(button);
        EXPECT_FALSE(form->Timer1->isActive());
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? RecordedBox{} : boxes.back();
    }
};

TEST_F(LoadCellClosedTest, ChineseBoxesWithReadCodeKeepingItsEnglishCaption) {
    const RecordedBox readAddress = Refusal(form->Button2);
    EXPECT_EQ(readAddress.text, QString::fromUtf8("请先打开串口!"));
    EXPECT_EQ(readAddress.caption, QString::fromUtf8("提示"));
    const RecordedBox writeAddress = Refusal(form->Button3);
    EXPECT_EQ(writeAddress.text, QString::fromUtf8("请先打开串口!"));
    EXPECT_EQ(writeAddress.caption, QString::fromUtf8("提示"));
    const RecordedBox readCode = Refusal(form->Button4);
    EXPECT_EQ(readCode.text, QString::fromUtf8("请选择串口号!"));
    EXPECT_EQ(readCode.caption, "Prompting");
}

TEST_F(LoadCellClosedTest, EnglishBoxes) {
    form->CurrentLanguage = "English";
    for (QPushButton* button : {form->Button2, form->Button3, form->Button4}) {
        const RecordedBox box = Refusal(button);
        EXPECT_EQ(box.text, "Please open the serial port at first!");
        EXPECT_EQ(box.caption, "Prompting");
    }
}

TEST_F(LoadCellClosedTest, ARefusedCommandTouchesNothingElse) {
    form->ComboBox2->setEditText("abc"); // not even converted: the port check comes first
    form->Memo1->setPlainText("41 42");
    const bool barVisible = form->ProgressBar1->isVisible();
    for (QPushButton* button : {form->Button2, form->Button3, form->Button4})
        Refusal(button);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(form->ComboBox2->currentText(), "abc");
    EXPECT_EQ(form->Memo1->toPlainText(), "41 42");
    EXPECT_EQ(form->ProgressBar1->isVisible(), barVisible);
    EXPECT_EQ(form->ProgressBar1->value(), 0);
}

TEST_F(LoadCellClosedTest, TheKeyboardStartsNoCommand) {
    for (QPushButton* button : {form->Button2, form->Button3, form->Button4})
        button->click();
    EXPECT_TRUE(boxes.empty());
}

} // namespace
