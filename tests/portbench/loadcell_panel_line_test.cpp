// The three load-cell commands against the virtual bench: the frames on the
// line, the lines they append, ComboBox2, the presence scan and its bar.
#include "send_panel_fixture.h"

#include <QTest>
#include <QWindow>
#include <functional>

namespace {

using portsim::Bytes;
using portsim::Cell;
using portsim::Config;
using portsim::ReadFrame;
using portsim::SetAddressFrame;
using portsim::WriteAnswer;

Config Cells(std::vector<Cell> cells, WriteAnswer answer = WriteAnswer::Accept) {
    Config config;
    config.cells = std::move(cells);
    config.writeAnswer = answer;
    return config;
}

Config FixedReply(Bytes reply) {
    Config config;
    config.fixedReply = std::move(reply);
    return config;
}

Bytes Probes(int last) {
    Bytes frames;
    for (int address = 1; address <= last; ++address)
        frames = Concat({frames, ReadFrame(address)});
    return frames;
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

class LoadCellLineTest : public LineTest {
  protected:
    // Runs one command from a mouse release on `button` and returns what it sent.
    Bytes Run(QPushButton* button, const QString& language) {
        form->CurrentLanguage = language;
        form->Memo1->clear();
        bench->ClearReceived();
        form->Timer1->start();
        ReleaseMouse(button);
        EXPECT_FALSE(form->Timer1->isActive());
        return SettledReceived();
    }

    // The same for a command during which the port is opened anew, which
    // starts the poll again.
    Bytes RunReopening(QPushButton* button, const QString& language) {
        form->CurrentLanguage = language;
        form->Memo1->clear();
        bench->ClearReceived();
        ReleaseMouse(button);
        return SettledReceived();
    }

    // The same for a command that needs the cells to answer in time: run again
    // (after `reset`) while the display is not `expected`; returns the last run's bytes.
    Bytes RunExpecting(QPushButton* button, const QString& language, const QString& expected,
                       const std::function<void()>& reset = {}) {
        Bytes sent;
        Retry([&] {
            if (reset) reset();
            sent = Run(button, language);
            return Display() == expected;
        });
        EXPECT_EQ(Display(), expected);
        return sent;
    }
};

TEST_F(LoadCellLineTest, ReadAddressPutsTheAddressFoundIntoComboBox2) {
    OpenLine(Cells({{5}}));
    EXPECT_EQ(RunExpecting(form->Button2, "Chinese", Utf8("当前传感器的地址:5\n")), ReadFrame(0));
    EXPECT_EQ(form->ComboBox2->currentText(), "5");

    bench->Reconfigure(Cells({{11}}));
    RunExpecting(form->Button2, "English", "Address of the current LoadCell:11\n");
    EXPECT_EQ(form->ComboBox2->currentText(), "11");
}

TEST_F(LoadCellLineTest, ReadAddressWithNoCellLeavesComboBox2Alone) {
    OpenLine(Cells({}));
    form->ComboBox2->setEditText("7");
    Run(form->Button2, "Chinese");
    EXPECT_EQ(Display(), Utf8("读地址不成功,请检测通讯连接是否正确\n"));
    Run(form->Button2, "English");
    EXPECT_EQ(Display(),
              "Reading address is not successful, check the communication connections\n");
    EXPECT_EQ(form->ComboBox2->currentText(), "7");
}

TEST_F(LoadCellLineTest, ReadAddressEndingInTheStartByteClearsComboBox2) {
    OpenLine(FixedReply({0x41, 0x02}));
    const QString unsuccessful =
        "Reading address is unsuccessful,Please check sensors exist or not\n";
    RunExpecting(form->Button2, "Chinese", Utf8("当前传感器的地址:-64\n") + unsuccessful);
    EXPECT_EQ(form->ComboBox2->currentText(), "");
    form->ComboBox2->setEditText("3");
    RunExpecting(form->Button2, "English", "Address of the current LoadCell:-64\n" + unsuccessful);
    EXPECT_EQ(form->ComboBox2->currentText(), "");
}

TEST_F(LoadCellLineTest, ReadAddressWithoutAStartByteShowsMinusOne) {
    OpenLine(FixedReply({0x41, 0x42}));
    RunExpecting(form->Button2, "English", "Address of the current LoadCell:-1\n");
    EXPECT_EQ(form->ComboBox2->currentText(), "-1");
}

TEST_F(LoadCellLineTest, WriteAddressStopsAtTheSecondCellFound) {
    OpenLine({});
    const auto twoCells = [&] { bench->Reconfigure(Cells({{3}, {7}})); };
    form->ComboBox2->setEditText("9");
    EXPECT_EQ(RunExpecting(form->Button3, "Chinese",
                           Utf8("传感器个数大于1,写地址时只能接一只传感器\n"), twoCells),
              Probes(7));
    EXPECT_FALSE(form->ProgressBar1->isVisible());
    EXPECT_EQ(form->ProgressBar1->value(), 7);
    RunExpecting(form->Button3, "English",
                 "The number of sensors is greater than 1, then only one LoadCell\n", twoCells);
    const auto cells = bench->Cells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].address, 3);
    EXPECT_EQ(cells[1].address, 7);
}

TEST_F(LoadCellLineTest, WriteAddressWithNoCellStillWrites) {
    OpenLine(Cells({}));
    form->ComboBox2->setEditText("9");
    EXPECT_EQ(Run(form->Button3, "Chinese"), Concat({Probes(12), SetAddressFrame(9)}));
    EXPECT_EQ(Display(), Utf8("写地址不成功,请检测通讯连接是否正确!\n"));
    EXPECT_FALSE(form->ProgressBar1->isVisible());
    EXPECT_EQ(form->ProgressBar1->value(), 12);
    Run(form->Button3, "English");
    EXPECT_EQ(Display(), "Address unsuccessful write, check communications connection\n");
}

TEST_F(LoadCellLineTest, AnAcceptingCellTakesTheNewAddress) {
    OpenLine({});
    const auto cellAt4 = [&] { bench->Reconfigure(Cells({{4}}, WriteAnswer::Accept)); };
    form->ComboBox2->setEditText("9");
    EXPECT_EQ(RunExpecting(form->Button3, "English", "Written address OK!\n", cellAt4),
              Concat({Probes(12), SetAddressFrame(9)}));
    ASSERT_EQ(bench->Cells().size(), 1u);
    EXPECT_EQ(bench->Cells()[0].address, 9);
    form->ComboBox2->setEditText("2");
    RunExpecting(form->Button3, "Chinese", Utf8("写地址 OK!\n"), cellAt4);
}

TEST_F(LoadCellLineTest, AnAddressReplyIsCheckedByReadingTheNewAddress) {
    OpenLine({});
    const auto cellAt4 = [&] { bench->Reconfigure(Cells({{4}}, WriteAnswer::AddressForm)); };
    form->ComboBox2->setEditText("9");
    EXPECT_EQ(RunExpecting(form->Button3, "English",
                           "Written address to complete! Read address of the current LoadCell:9\n",
                           cellAt4),
              Concat({Probes(12), SetAddressFrame(9), ReadFrame(9)}));
    form->ComboBox2->setEditText("10");
    RunExpecting(form->Button3, "Chinese", Utf8("写入地址完成! 读出当前传感器地址:10\n"), cellAt4);
}

TEST_F(LoadCellLineTest, AnAddressReadBackAsMinus64IsReportedUnsuccessful) {
    // Every frame gets FF 4E 49 02: probes read -64 (no cell), the write 9, the read back -64.
    OpenLine(FixedReply({0xFF, 0x4E, 0x49, 0x02}));
    form->ComboBox2->setEditText("9");
    RunExpecting(form->Button3, "English",
                 "Written address to complete! Read address of the current LoadCell:-64\n"
                 "Address written into the unsuccessful!\n");
    RunExpecting(form->Button3, "Chinese",
                 Utf8("写入地址完成! 读出当前传感器地址:-64\n地址写入不成功!\n"));
}

// WRITE_A and READ_C refuse an empty address box with a message in each
// language, sending nothing; the write puts the focus into the box.
TEST_F(LoadCellLineTest, WriteAddressAndReadCodeNeedAnAddress) {
    OpenLine(Cells({{4}}));
    struct Case {
        QPushButton* button;
        const char* chinese;
        const char* english;
        QWidget* focusAfter;
    };
    const Case cases[] = {
        {form->Button3, "请指定要写入的地址号!", "Please specify the address to write!",
         form->ComboBox2},
        {form->Button4, "请设置要读取的传感器地址号!",
         "Please specify the address to read the sensors", form->Edit2}, // the focus stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.english);
        form->ComboBox2->setEditText("");
        form->Edit2->setFocus();
        const size_t before = boxes.size();
        EXPECT_EQ(Run(c.button, "Chinese"), Bytes{});
        ASSERT_EQ(boxes.size(), before + 1);
        EXPECT_EQ(boxes[before].text, Utf8(c.chinese));
        EXPECT_EQ(boxes[before].caption, Utf8("提示"));
        EXPECT_EQ(form->focusWidget(), c.focusAfter);
        EXPECT_EQ(Run(c.button, "English"), Bytes{});
        ASSERT_EQ(boxes.size(), before + 2);
        EXPECT_EQ(boxes[before + 1].text, c.english);
        EXPECT_EQ(boxes[before + 1].caption, "Prompting");
        EXPECT_TRUE(Display().isEmpty());
    }
}

TEST_F(LoadCellLineTest, ANonNumericAddressStopsTheWriteAfterTheScan) {
    OpenLine(Cells({{4}}));
    form->ComboBox2->setEditText("abc");
    EXPECT_EQ(Run(form->Button3, "English"), Probes(12));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'abc' is not a valid integer value");
    EXPECT_FALSE(form->ProgressBar1->isVisible());
    EXPECT_TRUE(Display().isEmpty());
    EXPECT_EQ(bench->Cells()[0].address, 4);
}

TEST_F(LoadCellLineTest, TheScanHandlesPendingEventsBetweenProbes) {
    OpenLine({});
    form->ComboBox2->setEditText("4");
    bool ran = false, barShown = false;
    size_t sentBefore = 0;
    Retry([&] {
        bench->Reconfigure(Cells({{4}}));
        ran = false;
        QTimer::singleShot(0, form.get(), [&] {
            ran = true;
            barShown = form->ProgressBar1->isVisible();
            sentBefore = bench->Received().size();
        });
        Run(form->Button3, "English");
        return Display() == "Written address OK!\n";
    });
    ASSERT_TRUE(ran);
    EXPECT_TRUE(barShown);
    EXPECT_LT(sentBefore, Concat({Probes(12), SetAddressFrame(4)}).size());
    EXPECT_EQ(Display(), "Written address OK!\n");
}

TEST_F(LoadCellLineTest, ReadCodeOfTheCellAtComboBox2) {
    OpenLine(Cells({{3, 74565}, {4, 1048575}}));
    form->ComboBox2->setEditText("3");
    EXPECT_EQ(RunExpecting(form->Button4, "Chinese", Utf8("当前传感器内码:74565\n")), ReadFrame(3));
    form->ComboBox2->setEditText("4");
    RunExpecting(form->Button4, "English", "Current LoadCell A/D code:1048575\n");
    form->ComboBox2->setEditText("5"); // nobody there
    Run(form->Button4, "Chinese");
    EXPECT_EQ(Display(), Utf8("读内码不成功,请检查地址是否正确!\n"));
    Run(form->Button4, "English");
    EXPECT_EQ(Display(), "Read A/D code unsuccessful,Please check the Address!\n");
}

TEST_F(LoadCellLineTest, ReadCodeNeedsAWholeNumber) {
    OpenLine(Cells({{3}}));
    form->ComboBox2->setEditText("3a");
    EXPECT_EQ(Run(form->Button4, "English"), Bytes{});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'3a' is not a valid integer value");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(Display().isEmpty());
}

TEST_F(LoadCellLineTest, EachResultIsOneLineOfItsOwn) {
    OpenLine(Cells({{3, 74565}}));
    form->ComboBox2->setEditText("3");
    form->CurrentLanguage = "English";
    const QString line = "Current LoadCell A/D code:74565";
    const auto twoReadsAfter = [&](const QString& before, const QString& expected) {
        Retry([&] {
            form->Memo1->setPlainText(before);
            ReleaseMouse(form->Button4);
            ReleaseMouse(form->Button4);
            return Display() == expected;
        });
        EXPECT_EQ(Display(), expected);
    };
    // A poll left text on the last line: the first result starts a line of its own.
    twoReadsAfter(" 41 42", " 41 42\n" + line + "\n" + line);
    twoReadsAfter("AB\n", "AB\n" + line + "\n" + line + "\n");
}

// Runs `action` once, from the address write's own handling of events between
// two probes, after the probe of address `probes`.
void DuringScan(TForm1& form, int probes, std::function<void()> action) {
    auto* poll = new QTimer(&form);
    QObject::connect(poll, &QTimer::timeout, poll, [&form, poll, probes, action] {
        const int at = form.ProgressBar1->value();
        if (!form.ProgressBar1->isVisible() || at < probes || at >= 12) return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start(0);
}

bool HasFrame(const Bytes& sent, const Bytes& frame) {
    return std::search(sent.begin(), sent.end(), frame.begin(), frame.end()) != sent.end();
}

// Two cells on the second line would both take the new address.
TEST_F(LoadCellLineTest, AScanDuringWhichThePortIsSwitchedWritesNothing) {
    OpenLine(Cells({}));
    portsim::Bench second(Cells({{1}, {2}}));
    ASSERT_TRUE(second.Start()) << second.Error();
    const QString first = QString::fromStdString(bench->DevicePath());
    form->ComboBox1->clear();
    form->ComboBox1->addItems({first, QString::fromStdString(second.DevicePath())});
    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox2->setEditText("9");

    DuringScan(*form, 3, [&] { QTest::keyClick(form->ComboBox1, Qt::Key_Down); }); // a pick
    const Bytes sent = RunReopening(form->Button3, "Chinese");
    ASSERT_TRUE(form->PortOpen);
    EXPECT_EQ(form->ComboBox1->currentIndex(), 1);
    EXPECT_EQ(Display(),
              Utf8("写地址已中止: 串口已关闭或更换, 未写入地址\n")); // not the line's fault
    Pump(300);
    EXPECT_FALSE(HasFrame(sent, SetAddressFrame(9)));
    EXPECT_FALSE(HasFrame(second.Received(), SetAddressFrame(9)));
    const auto cells = second.Cells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].address, 1);
    EXPECT_EQ(cells[1].address, 2);
    EXPECT_FALSE(form->ProgressBar1->isVisible());
    form->BitBtn1->click(); // closed before the second line goes
    second.Stop();
}

TEST_F(LoadCellLineTest, AScanDuringWhichThePortIsClosedAndOpenedWritesNothing) {
    OpenLine(Cells({{4}}));
    form->ComboBox2->setEditText("9");
    DuringScan(*form, 2, [&] {
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton); // closed
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton); // and opened again
    });
    const Bytes sent = RunReopening(form->Button3, "English");
    ASSERT_TRUE(form->PortOpen);
    EXPECT_EQ(Display(),
              "Address write aborted: the port was closed or changed, nothing was written\n");
    EXPECT_FALSE(HasFrame(sent, SetAddressFrame(9)));
    EXPECT_EQ(bench->Cells()[0].address, 4);
}

// The window's close box during the scan: the port is closed through the
// library, the scan stops before its write, and the loop ends at once.
TEST_F(LoadCellLineTest, ClosingTheWindowDuringTheScanStopsItBeforeTheWrite) {
    OpenLine(Cells({{4}}));
    form->ComboBox2->setEditText("9");
    DuringScan(*form, 2, [&] { form->windowHandle()->close(); });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    QTimer::singleShot(0, form.get(), [&] { ReleaseMouse(form->Button3); });
    limit.start(20000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form->PortOpen);
    EXPECT_FALSE(form->isVisible());
    const Bytes sent = SettledReceived();
    EXPECT_FALSE(HasFrame(sent, SetAddressFrame(9)));
    EXPECT_FALSE(HasFrame(sent, ReadFrame(12))) << "the scan went on after the close";
    EXPECT_EQ(bench->Cells()[0].address, 4);
}

TEST_F(LoadCellLineTest, ASecondReleaseDuringTheScanStartsNothing) {
    OpenLine(Cells({{4}}));
    form->ComboBox2->setEditText("9");
    DuringScan(*form, 1, [&] { QTest::mouseClick(form->Button3, Qt::LeftButton); });
    EXPECT_EQ(Run(form->Button3, "English"), Concat({Probes(12), SetAddressFrame(9)}));
    EXPECT_EQ(Display().count(u'\n'), 1) << Display().toStdString();
    EXPECT_TRUE(boxes.empty());
}

// The result comes in the language in force when it is shown.
TEST_F(LoadCellLineTest, ALanguageSwitchDuringTheScanGivesTheResultInTheNewLanguage) {
    OpenLine(Cells({}));
    form->ComboBox2->setEditText("9");
    DuringScan(*form, 2, [&] { QTest::mouseClick(form->ToolButton4, Qt::LeftButton); });
    Run(form->Button3, "Chinese");
    EXPECT_EQ(form->CurrentLanguage, "English");
    EXPECT_EQ(Display(), "Address unsuccessful write, check communications connection\n");

    // The refusal for more than one cell too, from English to Chinese.
    const auto twoCells = [&] {
        bench->Reconfigure(Cells({{3}, {7}}));
        form->CurrentLanguage = "English";
        DuringScan(*form, 1, [&] { QTest::mouseClick(form->ToolButton4, Qt::LeftButton); });
    };
    Bytes sent;
    Retry([&] {
        twoCells();
        form->Memo1->clear();
        bench->ClearReceived();
        ReleaseMouse(form->Button3);
        sent = SettledReceived();
        return Display() == Utf8("传感器个数大于1,写地址时只能接一只传感器\n");
    });
    EXPECT_EQ(form->CurrentLanguage, "Chinese");
    EXPECT_EQ(Display(), Utf8("传感器个数大于1,写地址时只能接一只传感器\n"));
}

} // namespace
