// Start-up: the port list, the settings restored into the controls, and what
// runs (and what must not run) while they are restored.
#include "form_fixture.h"
#include "port_list.h"

#include <QFile>

namespace {

class Startup : public FormTest {
  protected:
    // Creates the window, counts the change signals of the restored controls
    // while it is shown, then shows it.
    TForm1& ShowCounting() {
        form = std::make_unique<TForm1>();
        form->Form2 = new TForm2(form.get());
        form->Form3 = new TForm3(form.get());
        Count(form->Edit1, &QLineEdit::textChanged, edit1);
        Count(form->Edit2, &QLineEdit::textChanged, edit2);
        Count(form->Edit3, &QLineEdit::textChanged, edit3);
        Count(form->CheckBox1, &QCheckBox::toggled, check1);
        Count(form->CheckBox2, &QCheckBox::toggled, check2);
        Count(form->RadioButton1, &QRadioButton::toggled, radio1);
        Count(form->RadioButton2, &QRadioButton::toggled, radio2);
        form->show();
        QCoreApplication::processEvents();
        return *form;
    }

    template <typename Sender, typename Signal>
    void Count(Sender* sender, Signal signal, int& counter) {
        counter = 0;
        QObject::connect(sender, signal, form.get(), [&counter] { ++counter; });
    }

    int edit1 = 0, edit2 = 0, edit3 = 0, check1 = 0, check2 = 0, radio1 = 0, radio2 = 0;
};

TEST(PortList, NaturalOrderPutsNumbersByValue) {
    QStringList names{"ttyS10", "ttyUSB0", "ttyS2", "ttyS1", "ttyACM0", "ttyS02", "COM10", "COM9"};
    SortNaturally(names);
    EXPECT_EQ(names, (QStringList{"COM9", "COM10", "ttyACM0", "ttyS1", "ttyS02", "ttyS2", "ttyS10",
                                  "ttyUSB0"}));
    EXPECT_FALSE(NaturalLess("ttyS2", "ttyS2"));
    EXPECT_TRUE(NaturalLess("ttyS", "ttyS0"));
    EXPECT_TRUE(NaturalLess("ttyS9", "ttyS10"));
    EXPECT_FALSE(NaturalLess("ttyS10", "ttyS9"));
}

TEST(PortList, TheMachinesPortsComeSortedAndStable) {
    const QStringList first = AvailablePortNames();
    EXPECT_EQ(first, AvailablePortNames());
    for (qsizetype i = 1; i < first.size(); ++i)
        EXPECT_TRUE(NaturalLess(first[i - 1], first[i])) << first[i].toStdString();
}

TEST_F(Startup, NoSettingsFileGivesTheDefaultsAndWritesNothing) {
    TForm1& f = ShowCounting();
    EXPECT_EQ(f.CurrentLanguage, "Chinese");
    // The port list is there, but the stored default overrides its first item.
    QStringList items;
    for (int i = 0; i < f.ComboBox1->count(); ++i)
        items << f.ComboBox1->itemText(i);
    EXPECT_EQ(items, AvailablePortNames());
    EXPECT_EQ(f.ComboBox1->currentText(), "COM1");
    EXPECT_EQ(f.Edit1->text(), "9600,n,8,1");
    EXPECT_EQ(f.Edit2->text(), "");
    EXPECT_EQ(f.Edit3->text(), "");
    EXPECT_TRUE(f.RadioButton1->isChecked());
    EXPECT_FALSE(f.RadioButton2->isChecked());
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_TRUE(f.CheckBox1->isChecked());
    EXPECT_EQ(f.CheckBox1->text(), "Hex/Ascii");
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_FALSE(f.Timer2->isActive());
    EXPECT_FALSE(f.PortOpen);
    EXPECT_EQ(f.windowTitle(), "QUILLPortBench(ver3.62) http://www.quill-sensor.com");
    EXPECT_EQ(f.BitBtn1->text(), QString::fromUtf8("打开"));

    EXPECT_EQ(edit1 + edit2 + edit3, 0);
    EXPECT_EQ(check1 + check2 + radio1 + radio2, 0);
    EXPECT_FALSE(QFile::exists(SettingsFile()));
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Startup, StoredValuesComeBackWhateverTheCaseOfTheirNames) {
    WriteSettings("[com]\nport=ttyUSB3\nPARAMETER = 19200,e,7,1 \n"
                  "[SEND]\nDATA=\"41 42 \"\nType=ASCII\n"
                  "[language]\nlan=English\n"
                  "[time]\nlong=250\ncontinuous=Yes\n"
                  "[show]\nTYPE=ASCII\n");
    TForm1& f = ShowCounting();
    EXPECT_EQ(f.ComboBox1->currentText(), "ttyUSB3");
    EXPECT_EQ(f.Edit1->text(), "19200,e,7,1");
    EXPECT_EQ(f.Edit2->text(), "41 42 ");
    EXPECT_EQ(f.CurrentLanguage, "English");
    EXPECT_TRUE(f.RadioButton2->isChecked());
    EXPECT_EQ(f.Edit3->text(), "250");
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.CheckBox1->isChecked());
    EXPECT_EQ(f.CheckBox1->text(), "AscII/Hex ");
    EXPECT_EQ(f.windowTitle(), "QUILL PortBench(ver3.62) http://www.quill-sensor.com");

    // Each changed text ran its change handler once, as a user edit would.
    EXPECT_EQ(edit1, 1);
    EXPECT_EQ(edit2, 1);
    EXPECT_EQ(edit3, 1);
    // The check and radio boxes ran nothing: no conversion, no timer.
    EXPECT_EQ(check1 + check2 + radio1 + radio2, 0);
    EXPECT_FALSE(f.Timer2->isActive());
    EXPECT_TRUE(errors.empty());
}

TEST_F(Startup, ContinuousYesTicksTheBoxButLeavesTheTimerStopped) {
    WriteSettings("[Time]\nLong=50\nContinuous=Yes\n");
    TForm1& f = Show();
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.Timer2->isActive());
    Pump(150);
    EXPECT_FALSE(f.Timer2->isActive());
}

TEST_F(Startup, OnlyExactValuesSelectTheirState) {
    WriteSettings("[Show]\ntype=hex\n[send]\ntype=ascii\n[Time]\nContinuous=yes\n");
    TForm1& f = Show();
    EXPECT_TRUE(f.CheckBox1->isChecked());
    EXPECT_EQ(f.CheckBox1->text(), "Hex/Ascii");
    EXPECT_TRUE(f.RadioButton1->isChecked());
    EXPECT_FALSE(f.CheckBox2->isChecked());
}

TEST_F(Startup, EqualTextsRunNoHandlerAndAnEmptyKeyEmptiesTheBox) {
    WriteSettings("[COM]\nparameter=9600,n,8,1\n[send]\ndata=\n[Time]\nLong=\n");
    ShowCounting();
    EXPECT_EQ(edit1 + edit2 + edit3, 0);
    EXPECT_EQ(SettingsText(), "[COM]\nparameter=9600,n,8,1\n[send]\ndata=\n[Time]\nLong=\n");

    form.reset();
    WriteSettings("[COM]\nparameter=\n");
    TForm1& f = ShowCounting();
    EXPECT_EQ(f.Edit1->text(), "");
    EXPECT_EQ(edit1, 1);
}

TEST_F(Startup, AnUnwritableFolderStartsWithDefaultsAndNoMessage) {
    QFile blocker(settingsDir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetSettingsFolderForTesting(settingsDir.filePath("blocker/folder"));
    TForm1& f = Show();
    EXPECT_EQ(f.ComboBox1->currentText(), "COM1");
    EXPECT_EQ(f.CurrentLanguage, "Chinese");
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Startup, TheAboutBoxesExistHidden) {
    TForm1& f = Show();
    ASSERT_NE(f.Form2, nullptr);
    ASSERT_NE(f.Form3, nullptr);
    EXPECT_FALSE(f.Form2->isVisible());
    EXPECT_FALSE(f.Form3->isVisible());
    EXPECT_TRUE(f.isVisible());
}

} // namespace
