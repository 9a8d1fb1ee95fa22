// The tool bar: load a text file into the display, save the display, clear it.
#include "form_fixture.h"
#include "text_convert.h"

#include <QApplication>
#include <QCompleter>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class ToolBar : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(workDir.path()); // saved files go to the current directory
    }
    void TearDown() override {
        QDir::setCurrent(previousDir);
        FormTest::TearDown();
    }

    static QString WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList SavedFiles() const { return QDir(workDir.path()).entryList(QDir::Files); }

    // Saves stay within one minute: wait out the last seconds of a minute first.
    static void AwayFromMinuteEnd() {
        while (QTime::currentTime().second() >= 55)
            QThread::msleep(200);
    }

    // Runs the load command, answering the file dialog with `path` (empty:
    // cancel); `afterAccept` runs once the dialog is closed, before the load reads.
    void Load(const QString& path, std::function<void()> afterAccept = {}) {
        QTimer::singleShot(0, form.get(), [this, path, afterAccept] {
            QFileDialog* dialog = form->OpenDialog1;
            if (!dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is not up";
                return;
            }
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own checks run
            if (afterAccept) afterAccept();
        });
        form->ToolButton1Click();
    }

    QTemporaryDir workDir;
    QString previousDir;
};

TEST_F(ToolBar, LoadingAnLfFileShowsItsLinesAndSavesThemWithCrLf) {
    TForm1& f = Show();
    const QString path = WriteFile(workDir.filePath("lf.txt"), "first\nsecond\n\nfourth");
    Load(path);
    EXPECT_EQ(f.Memo1->toPlainText(), "first\nsecond\n\nfourth");
    EXPECT_EQ(f.Memo1->blockCount(), 4);
    EXPECT_EQ(DisplayToBytes(f.Memo1->toPlainText()), "first\r\nsecond\r\n\r\nfourth");

    QFile::remove(path);
    AwayFromMinuteEnd();
    f.ToolButton2Click();
    ASSERT_EQ(SavedFiles().size(), 1);
    EXPECT_EQ(ReadFile(workDir.filePath(SavedFiles().first())), "first\r\nsecond\r\n\r\nfourth");
}

TEST_F(ToolBar, LoadTakesCrLfAndUtf8AsTheyAre) {
    TForm1& f = Show();
    Load(WriteFile(workDir.filePath("crlf.txt"), "41 42\r\n中文\r\n"));
    EXPECT_EQ(f.Memo1->toPlainText(), QString::fromUtf8("41 42\n中文\n"));
    EXPECT_TRUE(errors.empty());
}

// A dialog accepted while its list of completions is open (a path typed and
// taken with Return): the list goes with it, the window is the active one
// again, and the next click reaches its control. (The offscreen platform does
// not accept on that Return as a desktop does; the list is opened and the
// dialog accepted directly.)
TEST_F(ToolBar, AfterTheDialogWithItsListOpenTheWindowTakesTheNextClick) {
    TForm1& f = Show();
    QApplication::setActiveWindow(&f);
    const QString path = WriteFile(workDir.filePath("typed.txt"), "typed");
    WriteFile(workDir.filePath("typed2.txt"), "other"); // so the completion has a list
    QTimer::singleShot(0, &f, [&f, path] {
        auto* name = f.OpenDialog1->findChild<QLineEdit*>("fileNameEdit");
        if (!name || !name->completer()) {
            f.OpenDialog1->reject();
            ADD_FAILURE() << "no file-name box with completion";
            return;
        }
        name->setFocus();
        QTest::keyClicks(name, path.chopped(5));
        QTest::qWait(300);
        name->completer()->complete();
        EXPECT_NE(QApplication::activePopupWidget(), nullptr);
        f.OpenDialog1->selectFile(path);
        static_cast<QDialog*>(f.OpenDialog1)->accept();
    });
    f.ToolButton1Click();
    EXPECT_EQ(f.Memo1->toPlainText(), "typed");
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activeWindow(), &f);
    QTest::mouseClick(f.Edit2, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), f.Edit2);
}

TEST_F(ToolBar, CancellingTheDialogLeavesTheDisplayAndTheDialogRemembersTheFile) {
    TForm1& f = Show();
    const QString path = WriteFile(workDir.filePath("kept.txt"), "loaded");
    Load(path);
    ASSERT_EQ(f.Memo1->toPlainText(), "loaded");
    QString offered;
    QTimer::singleShot(0, &f, [&] {
        offered = f.OpenDialog1->selectedFiles().value(0);
        f.OpenDialog1->reject();
    });
    f.ToolButton1Click();
    EXPECT_EQ(f.Memo1->toPlainText(), "loaded");
    EXPECT_EQ(QFileInfo(offered).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ToolBar, AFileThatCannotBeOpenedIsReportedAndTheDisplayKept) {
    TForm1& f = Show();
    f.Memo1->setPlainText("before");
    const QString path = WriteFile(workDir.filePath("gone.txt"), "never shown");
    // The file disappears between the choice and the reading.
    EXPECT_THROW(
        {
            try {
                Load(path, [path] { QFile::remove(path); });
            } catch (const AppError& error) {
                EXPECT_EQ(error.text, "Cannot open file " + path);
                throw;
            }
        },
        AppError);
    EXPECT_EQ(f.Memo1->toPlainText(), "before");
}

TEST_F(ToolBar, TwoSavesInOneMinuteWriteOneFileWithTheLatestText) {
    TForm1& f = Show();
    AwayFromMinuteEnd();
    f.Memo1->setPlainText("one");
    f.ToolButton2Click();
    f.Memo1->setPlainText("two\nlines");
    f.ToolButton2Click();
    const QStringList saved = SavedFiles();
    ASSERT_EQ(saved.size(), 1) << saved.join(",").toStdString();
    EXPECT_TRUE(QRegularExpression("^\\d{12}\\.txt$").match(saved.first()).hasMatch());
    const QDateTime stamp = QDateTime::fromString(saved.first().left(12), "yyyyMMddHHmm");
    EXPECT_LT(std::abs(stamp.secsTo(QDateTime::currentDateTime())), 120);
    EXPECT_EQ(ReadFile(workDir.filePath(saved.first())), "two\r\nlines");

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text,
              QString::fromUtf8("数据已保存在文件中,位于当前目录中,文件名为") + saved.first());
    EXPECT_EQ(boxes[1].caption, QString::fromUtf8("提示"));
}

TEST_F(ToolBar, SavingAnEmptyDisplayMakesAnEmptyFileAndSaysSoInTheLanguage) {
    TForm1& f = Show();
    f.ToolButton4Click(); // English
    AwayFromMinuteEnd();
    f.ToolButton2Click();
    ASSERT_EQ(SavedFiles().size(), 1);
    EXPECT_EQ(ReadFile(workDir.filePath(SavedFiles().first())), "");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "data file has saved,At the current directory,the file name is" +
                                 SavedFiles().first());
    EXPECT_EQ(boxes[0].caption, "Prompting");

    // A language that is neither gets the English confirmation.
    f.CurrentLanguage = "english";
    f.ToolButton2Click();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Prompting");
}

TEST_F(ToolBar, AFileThatCannotBeCreatedIsReportedWithoutConfirmation) {
    TForm1& f = Show();
    // A folder in the way of this minute's and the next minute's name.
    const QDateTime now = QDateTime::currentDateTime();
    for (int minute = 0; minute < 2; ++minute)
        ASSERT_TRUE(
            QDir(workDir.path()).mkdir(now.addSecs(60 * minute).toString("yyyyMMddHHmm") + ".txt"));
    try {
        f.ToolButton2Click();
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.text.startsWith("Cannot create file ")) << error.text.toStdString();
        EXPECT_TRUE(error.text.endsWith(".txt"));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ToolBar, ClearEmptiesTheDisplayWithThePortClosed) {
    TForm1& f = Show();
    f.Memo1->setPlainText("a\nb");
    ASSERT_FALSE(f.PortOpen);
    f.ToolButton3Click();
    EXPECT_EQ(f.Memo1->toPlainText(), "");
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_TRUE(errors.empty());
}

// A named pipe waits for a writer when opened, and a device may never end. The
// dialog lists neither, but the name chosen may be one by the time the load
// opens it: both are refused at once. Should the load wait for the pipe after
// all, a writer comes after a few seconds, so that the test fails, not hangs.
TEST_F(ToolBar, ANamedPipeIsRefusedWithoutWaiting) {
    TForm1& f = Show();
    f.Memo1->setPlainText("before");
    const QString pipe = WriteFile(workDir.filePath("x.txt"), "a plain file when chosen");
    const QByteArray pipeName = QFile::encodeName(pipe);
    std::promise<void> finished;
    std::thread writer([&pipeName, done = finished.get_future()] {
        if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return;
        const int fd = ::open(pipeName.constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) return;
        [[maybe_unused]] const auto written = ::write(fd, "from the pipe", 13);
        ::close(fd);
    });
    QString error;
    try {
        Load(pipe, [&] {
            ASSERT_TRUE(QFile::remove(pipe) && ::mkfifo(pipeName.constData(), 0644) == 0);
        });
    } catch (const AppError& e) {
        error = e.text;
    }
    finished.set_value();
    writer.join();
    EXPECT_EQ(error, "Cannot open file " + pipe);
    EXPECT_EQ(f.Memo1->toPlainText(), "before");
}

TEST_F(ToolBar, ADeviceIsRefused) {
    TForm1& f = Show();
    f.Memo1->setPlainText("before");
    const QString device = WriteFile(workDir.filePath("device.txt"), "a plain file when chosen");
    QString error;
    try {
        Load(device,
             [&] { ASSERT_TRUE(QFile::remove(device) && QFile::link("/dev/null", device)); });
    } catch (const AppError& e) {
        error = e.text;
    }
    EXPECT_EQ(error, "Cannot open file " + device);
    EXPECT_EQ(f.Memo1->toPlainText(), "before");
}

QByteArray Lines(int from, int to) {
    QByteArray text;
    for (int i = from; i <= to; ++i)
        text += "line " + QByteArray::number(i) + "\n";
    return text;
}

// A paragraph the box shows on several lines.
const QByteArray Wrapping = QByteArray(" 41 42 43").repeated(40) + "\n";

// A load keeps what the history limit keeps of the whole text when every line
// before the last fifty paragraphs is one shown line: the same number of lines
// as when the text is put into the box whole.
TEST_F(ToolBar, ALoadedFileKeepsTheLinesTheHistoryKeepsOfTheWholeText) {
    TForm1& f = Show();
    const QByteArray files[] = {
        Lines(1, 300),
        Lines(1, 301),
        Lines(1, 300).chopped(1), // no final line break
        "\n" + Lines(1, 52),      // an empty first line
        Lines(1, 280) + Wrapping + Lines(281, 300),
        Lines(1, 281) + Wrapping + Lines(282, 300),
        Lines(1, 51),
        Lines(1, 53),
        Lines(1, 54),
    };
    for (const QByteArray& text : files) {
        f.Memo1->setPlainText(BytesToDisplay(text));
        const QString kept = f.Memo1->toPlainText();
        f.Memo1->clear();
        Load(WriteFile(workDir.filePath("lines.txt"), text));
        EXPECT_EQ(f.Memo1->toPlainText(), kept) << text.left(40).toStdString();
    }
}

// Lines the box must lay out to count (wrapped, or not plain ASCII) before the
// last fifty paragraphs are not counted: the box shows the file's last 49 or 50
// lines, one line fewer or more than the whole text would have left.
TEST_F(ToolBar, LinesLeftOutThatWouldWrapStillLeaveTheLastFiftyLines) {
    TForm1& f = Show();
    const QByteArray files[] = {
        Lines(1, 200) + Wrapping + Lines(201, 300),
        Lines(1, 201) + Wrapping + Lines(202, 300),
        "中文\n" + Lines(1, 300),
    };
    for (const QByteArray& text : files) {
        SCOPED_TRACE(text.left(40).toStdString());
        f.Memo1->setPlainText(BytesToDisplay(text));
        const QString whole = f.Memo1->toPlainText();
        f.Memo1->clear();
        Load(WriteFile(workDir.filePath("lines.txt"), text));
        const QString loaded = f.Memo1->toPlainText();
        EXPECT_TRUE(loaded.endsWith(whole) || whole.endsWith(loaded));
        EXPECT_TRUE(QString::fromUtf8(text).endsWith(loaded));
        const int shown = ShownLines(f.Memo1);
        EXPECT_TRUE(shown == 49 || shown == 50) << shown;
    }
}

// A file of hundreds of thousands of lines: the box takes in only the last
// paragraphs, so the window does not lay the whole text out (that took seconds),
// whatever its lines are like.
TEST_F(ToolBar, AVeryLargeFileNeverGoesIntoTheBoxWhole) {
    TForm1& f = Show();
    int largest = 0;
    QObject::connect(f.Memo1->document(), &QTextDocument::blockCountChanged,
                     [&largest](int blocks) { largest = std::max(largest, blocks); });
    const QByteArray wide = QByteArray(" 41 42 43 44 45 46 47 48").repeated(3);
    struct File {
        QByteArray text;
        QString end; // the end of the text shown
    } files[] = {
        {Lines(1, 300000), "line 300000\n"},
        {(wide + "\n").repeated(300000) + "end", "end"},
        {"中文 " + wide + "\n" + Lines(1, 300000).chopped(1), "line 300000"},
    };
    for (const File& file : files) {
        SCOPED_TRACE(file.end.toStdString());
        largest = 0;
        Load(WriteFile(workDir.filePath("large.txt"), file.text));
        EXPECT_LE(largest, 60);
        const int shown = ShownLines(f.Memo1);
        EXPECT_TRUE(shown == 49 || shown == 50) << shown;
        EXPECT_TRUE(f.Memo1->toPlainText().endsWith(file.end));
    }
    // One line per paragraph, all plain: exactly the lines the whole text keeps.
    Load(WriteFile(workDir.filePath("large.txt"), Lines(1, 1000000)));
    EXPECT_EQ(f.Memo1->toPlainText(), QString::fromLatin1(Lines(999951, 1000000)));
}

} // namespace
