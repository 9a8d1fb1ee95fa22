// The interface language: every caption in both languages, the switch and its
// rules, and what is stored.
#include "form_fixture.h"
#include "full_disk.h"

#include <QFile>
#include <functional>

namespace {

const char* const Web = " http://www.quill-sensor.com";

struct Expected {
    const char* what;
    std::function<QString(TForm1&)> actual;
    const char* english;
    const char* chinese;
};

// Every row the language sets, BitBtn1 and the window caption apart.
std::vector<Expected> Table() {
    auto pos = [](int x) { return QString::number(x); };
    return {
        {"GroupBox1", [](TForm1& f) { return f.GroupBox1->title(); }, "Communicate setup",
         "通讯基本参数"},
        {"Label1", [](TForm1& f) { return f.Label1->text(); }, "Port", "串口号"},
        {"Label2", [](TForm1& f) { return f.Label2->text(); }, "Series Parmeter",
         "串口通讯参数设置"},
        {"GroupBox5", [](TForm1& f) { return f.GroupBox5->title(); }, "Send data to COM",
         "发送数据到串口"},
        {"Label4", [](TForm1& f) { return f.Label4->text(); }, "Data", "数据"},
        {"Button5", [](TForm1& f) { return f.Button5->text(); }, "Send", "发送"},
        {"CheckBox2", [](TForm1& f) { return f.CheckBox2->text(); }, "interval", "定时发送"},
        {"Label5", [](TForm1& f) { return f.Label5->text(); }, "ms/times", "ms/次"},
        {"CheckBox3 left", [pos](TForm1& f) { return pos(f.CheckBox3->x()); }, "310", "301"},
        {"CheckBox4 left", [pos](TForm1& f) { return pos(f.CheckBox4->x()); }, "356", "351"},
        {"GroupBox3", [](TForm1& f) { return f.GroupBox3->title(); }, "QUILL(Write Address)",
         "QUILL(写地址)"},
        {"GroupBox4", [](TForm1& f) { return f.GroupBox4->title(); }, "QUILL(Read Address)",
         "QUILL(读地址)"},
        {"GroupBox6", [](TForm1& f) { return f.GroupBox6->title(); }, "QUILL(Read A/D Code)",
         "QUILL(读A/D码)"},
        {"Label3", [](TForm1& f) { return f.Label3->text(); }, "Address", "地址号:"},
        {"Button3", [](TForm1& f) { return f.Button3->text(); }, "WRITE_A", "写地址"},
        {"Button2", [](TForm1& f) { return f.Button2->text(); }, "READ_A", "读地址"},
        {"Button4", [](TForm1& f) { return f.Button4->text(); }, "READ_C", "读内码"},
        {"ToolButton1 hint", [](TForm1& f) { return f.ToolButton1->toolTip(); }, "Open", "打开"},
        {"ToolButton2 hint", [](TForm1& f) { return f.ToolButton2->toolTip(); }, "Save", "保存"},
        {"ToolButton3 hint", [](TForm1& f) { return f.ToolButton3->toolTip(); }, "Clear", "清空"},
        {"ToolButton4 hint", [](TForm1& f) { return f.ToolButton4->toolTip(); }, "Chinese/English",
         "中/英切换"},
        {"ToolButton5 hint", [](TForm1& f) { return f.ToolButton5->toolTip(); }, "About", "关于"},
        // What a screen reader announces: the tool buttons by their tool tips,
        // the two send-panel boxes each by a name of its own.
        {"ToolButton1 name", [](TForm1& f) { return f.ToolButton1->accessibleName(); }, "Open",
         "打开"},
        {"ToolButton4 name", [](TForm1& f) { return f.ToolButton4->accessibleName(); },
         "Chinese/English", "中/英切换"},
        {"ToolButton5 name", [](TForm1& f) { return f.ToolButton5->accessibleName(); }, "About",
         "关于"},
        {"Edit2 name", [](TForm1& f) { return f.Edit2->accessibleName(); }, "Data to send",
         "发送数据"},
        {"Edit3 name", [](TForm1& f) { return f.Edit3->accessibleName(); }, "Send interval in ms",
         "定时发送间隔(ms)"},
    };
}

class Language : public FormTest {
  protected:
    void ExpectColumn(TForm1& f, bool english) {
        for (const Expected& row : Table())
            EXPECT_EQ(row.actual(f), QString::fromUtf8(english ? row.english : row.chinese))
                << row.what << (english ? " (English)" : " (Chinese)");
    }

    // The texts that no language changes.
    void ExpectFixedTexts(TForm1& f) {
        EXPECT_EQ(f.RadioButton1->text(), "Hex");
        EXPECT_EQ(f.RadioButton2->text(), "Ascii");
        EXPECT_EQ(f.CheckBox3->text(), "DTR");
        EXPECT_EQ(f.CheckBox4->text(), "RTS");
        EXPECT_EQ(f.Button3->toolTip(), "Write Address");
        EXPECT_EQ(f.Button2->toolTip(), "Read Address");
        EXPECT_EQ(f.Button4->toolTip(), "Read A/D Code");
        EXPECT_EQ(f.Button1->text(), "Open");
        EXPECT_EQ(f.OpenDialog()->windowTitle(), QString::fromUtf8("打开txt文件"));
        EXPECT_EQ(QString::fromUtf8(ApplicationTitle), "QuillPortBench(ver3.5)");
    }
};

TEST_F(Language, StartsInChineseAndEachSwitchSetsEveryRowAndStoresIt) {
    TForm1& f = Show();
    ExpectColumn(f, false);
    EXPECT_EQ(f.BitBtn1->text(), QString::fromUtf8("打开"));
    EXPECT_EQ(f.windowTitle(), QString("QUILLPortBench(ver3.62)") + Web);
    const QString checkBox1 = f.CheckBox1->text();

    f.ToolButton4Click();
    EXPECT_EQ(f.CurrentLanguage, "English");
    ExpectColumn(f, true);
    EXPECT_EQ(f.BitBtn1->text(), "Open");
    EXPECT_EQ(f.windowTitle(), QString("QUILL PortBench(ver3.6)") + Web);
    EXPECT_EQ(SettingsText(), "[Language]\nLan=English\n");
    ExpectFixedTexts(f);
    EXPECT_EQ(f.CheckBox1->text(), checkBox1);

    f.ToolButton4Click();
    EXPECT_EQ(f.CurrentLanguage, "Chinese");
    ExpectColumn(f, false);
    EXPECT_EQ(f.BitBtn1->text(), QString::fromUtf8("打开"));
    EXPECT_EQ(f.windowTitle(), QString("QUILLPortBench(ver3.6)") + Web);
    EXPECT_EQ(SettingsText(), "[Language]\nLan=Chinese\n");
    ExpectFixedTexts(f);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Language, TheNextStartComesUpInTheStoredLanguage) {
    Show().ToolButton4Click();
    form.reset();
    TForm1& f = Show();
    EXPECT_EQ(f.CurrentLanguage, "English");
    ExpectColumn(f, true);
    EXPECT_EQ(f.BitBtn1->text(), "Open");
    EXPECT_EQ(f.windowTitle(), QString("QUILL PortBench(ver3.62)") + Web);
}

TEST_F(Language, TheSwitchMapsThePortButtonsCaptionAndLeavesOthersAlone) {
    TForm1& f = Show();
    f.BitBtn1->setText(QString::fromUtf8("关闭")); // as after an open in Chinese
    f.ToolButton4Click();
    EXPECT_EQ(f.BitBtn1->text(), "Close");
    f.ToolButton4Click();
    EXPECT_EQ(f.BitBtn1->text(), QString::fromUtf8("关闭"));

    f.BitBtn1->setText("Opening");
    f.ToolButton4Click();
    EXPECT_EQ(f.BitBtn1->text(), "Opening");
    f.BitBtn1->setText(QString::fromUtf8("打开"));
    f.ToolButton4Click(); // English -> Chinese: only "Open"/"Close" map
    EXPECT_EQ(f.BitBtn1->text(), QString::fromUtf8("打开"));
}

TEST_F(Language, TheSwitchTouchesNoStateOfTheWindow) {
    TForm1& f = Show();
    f.Memo1->setPlainText("kept");
    f.Edit2->setText("41 42");
    f.Timer2->setInterval(1234);
    const bool hex = f.CheckBox1->isChecked();
    f.ToolButton4Click();
    EXPECT_EQ(f.Memo1->toPlainText(), "kept");
    EXPECT_EQ(f.Edit2->text(), "41 42");
    EXPECT_EQ(f.Timer2->interval(), 1234);
    EXPECT_EQ(f.CheckBox1->isChecked(), hex);
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_FALSE(f.PortOpen);
}

TEST_F(Language, CheckBoxes3And4MoveByTheirOwnSteps) {
    TForm1& f = Show();
    EXPECT_EQ(f.CheckBox3->x(), 301);
    EXPECT_EQ(f.CheckBox4->x(), 351); // one pixel left of where it was laid out
    f.ToolButton4Click();
    EXPECT_EQ(f.CheckBox3->x(), 310);
    EXPECT_EQ(f.CheckBox4->x(), 356);
    EXPECT_EQ(f.CheckBox3->y(), 8);
    EXPECT_EQ(f.CheckBox4->y(), 8);
}

TEST_F(Language, AnyOtherStoredLanguageShowsChineseAndTheButtonDoesNothing) {
    for (const char* stored : {"english", "French", ""}) {
        WriteSettings(QByteArray("[Language]\nLan=") + stored + "\n");
        const QByteArray before = SettingsText();
        TForm1& f = Show();
        EXPECT_EQ(f.CurrentLanguage, QString(stored));
        ExpectColumn(f, false);
        EXPECT_EQ(f.windowTitle(), QString("QUILLPortBench(ver3.62)") + Web);
        f.ToolButton4Click();
        EXPECT_EQ(f.CurrentLanguage, QString(stored));
        ExpectColumn(f, false);
        EXPECT_EQ(f.windowTitle(), QString("QUILLPortBench(ver3.62)") + Web) << stored;
        EXPECT_EQ(SettingsText(), before);
        form.reset();
    }
}

TEST_F(Language, ARefusedWriteLeavesTheNewCaptionsAndTheOldStoredLanguage) {
    WriteSettings("[Language]\nLan=Chinese\n");
    TForm1& f = Show();
    {
        const NoFileGrowth full; // a full disk, whoever runs the test
        EXPECT_THROW(f.ToolButton4Click(), AppError);
    }
    EXPECT_EQ(f.CurrentLanguage, "English");
    ExpectColumn(f, true);
    form.reset();
    EXPECT_EQ(Show().CurrentLanguage, "Chinese");
}

} // namespace
