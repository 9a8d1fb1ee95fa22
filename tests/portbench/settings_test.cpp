// The settings file layer: profile-function reading and writing on real files.
#include "form_fixture.h"
#include "full_disk.h"
#include "messages.h"
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Path() const { return dir.filePath("PortBench.ini"); }

    void Put(const QByteArray& bytes) { Put(bytes, Path()); }
    void Put(const QByteArray& bytes, const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray Get() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Everything in the folder but the settings file itself (left-over temporaries).
    QStringList Strays() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.removeAll("PortBench.ini");
        return names;
    }

    QString Read(const QString& section, const QString& key, const QString& def = "<default>") {
        return TIniFile(Path()).ReadString(section, key, def);
    }

    void Write(const QString& section, const QString& key, const QString& value) {
        TIniFile(Path()).WriteString(section, key, value);
    }

    QTemporaryDir dir;
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndReadingCreatesNothing) {
    EXPECT_EQ(Read("COM", "Port", "COM1"), "COM1");
    EXPECT_EQ(Read("Time", "Long", ""), "");
    EXPECT_FALSE(QFileInfo::exists(Path()));
    EXPECT_TRUE(Strays().isEmpty());
}

TEST_F(SettingsFile, NamesMatchWhateverTheCaseAndKeepTheirSpelling) {
    Put("[send]\ndata=AA 01\n[com]\nPort=COM3\n");
    EXPECT_EQ(Read("Send", "data"), "AA 01");
    EXPECT_EQ(Read("COM", "Port"), "COM3");
    EXPECT_EQ(Read("cOm", "PORT"), "COM3");

    Write("send", "data", "BB");
    Write("COM", "port", "COM4");
    EXPECT_EQ(Get(), "[send]\ndata=BB\n[com]\nPort=COM4\n");
    EXPECT_EQ(Read("Send", "DATA"), "BB");
}

TEST_F(SettingsFile, ValuesComeBackTrimmedOfBlanksAndOnePairOfQuotes) {
    Put("[T]\n"
        "blanks =   a b  \t\n"
        "double=\" a b \"\n"
        "single= 'x' \n"
        "nested=\"'x'\"\n"
        "unmatched=\"x'\n"
        "lone=\"\n"
        "empty=\n"
        "onlyblanks=   \n");
    EXPECT_EQ(Read("T", "blanks"), "a b");
    EXPECT_EQ(Read("T", "double"), " a b ");
    EXPECT_EQ(Read("T", "single"), "x");
    EXPECT_EQ(Read("T", "nested"), "'x'");
    EXPECT_EQ(Read("T", "unmatched"), "\"x'");
    EXPECT_EQ(Read("T", "lone"), "\"");
    // Present but empty is not absent: the default does not apply.
    EXPECT_EQ(Read("T", "empty"), "");
    EXPECT_EQ(Read("T", "onlyblanks"), "");
    EXPECT_EQ(Read("T", "absent"), "<default>");
    EXPECT_EQ(Read("Other", "empty"), "<default>");
}

TEST_F(SettingsFile, ValuesAreCutTo2047Characters) {
    Put("[send]\ndata=" + QByteArray(3000, 'A') + "\n[x]\nshort=" + QByteArray(2047, 'B') + "\n");
    EXPECT_EQ(Read("send", "data"), QString(2047, u'A'));
    EXPECT_EQ(Read("x", "short"), QString(2047, u'B'));
}

TEST_F(SettingsFile, WriteKeepsTheRestOfTheFileAsItWas) {
    const QByteArray before = "; kept comment\r\n"
                              "[Language]\r\n"
                              "Lan=English\r\n"
                              "\r\n"
                              "[COM]\r\n"
                              "# another comment\r\n"
                              "Port = COM3\r\n"
                              "parameter=9600,n,8,1\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "unknown=kept\r\n";
    Put(before);
    Write("com", "PORT", "COM7");      // changed in place, blanks kept
    Write("Language", "extra", "new"); // new key at the end of its section
    Write("Show", "type", "ASCII");    // new section at the end of the file
    EXPECT_EQ(Get(), "; kept comment\r\n"
                     "[Language]\r\n"
                     "Lan=English\r\n"
                     "extra=new\r\n"
                     "\r\n"
                     "[COM]\r\n"
                     "# another comment\r\n"
                     "Port = COM7\r\n"
                     "parameter=9600,n,8,1\r\n"
                     "\r\n"
                     "[Other]\r\n"
                     "unknown=kept\r\n"
                     "[Show]\r\n"
                     "type=ASCII\r\n");
}

TEST_F(SettingsFile, NewFileAndFileWithoutFinalLineBreak) {
    Write("COM", "port", "ttyUSB0");
    Write("COM", "parameter", "9600,n,8,1");
    EXPECT_EQ(Get(), "[COM]\nport=ttyUSB0\nparameter=9600,n,8,1\n");

    Put("[A]\nx=1");
    Write("A", "y", "2");
    EXPECT_EQ(Get(), "[A]\nx=1\ny=2\n");
    Put("[A]\nx=1");
    Write("B", "z", "3");
    EXPECT_EQ(Get(), "[A]\nx=1\n[B]\nz=3\n");
}

TEST_F(SettingsFile, OnlyTheFirstSectionOfANameCounts) {
    Put("[Time]\nLong=100\n[Time]\nLong=200\nContinuous=Yes\n");
    EXPECT_EQ(Read("Time", "Long"), "100");
    EXPECT_EQ(Read("Time", "Continuous"), "<default>");
    Write("Time", "Continuous", "No");
    EXPECT_EQ(Get(), "[Time]\nLong=100\nContinuous=No\n[Time]\nLong=200\nContinuous=Yes\n");
}

TEST_F(SettingsFile, TextRoundTripsAsWrittenAndIsReadTrimmed) {
    Write("send", "data", QString::fromUtf8("中文 text "));
    Write("send", "type", "two\nlines");
    EXPECT_EQ(Get(), QByteArray("[send]\ndata=中文 text \ntype=two lines\n"));
    EXPECT_EQ(Read("Send", "data"), QString::fromUtf8("中文 text"));
    // A byte-order mark at the start does not hide the first section.
    Put("\xEF\xBB\xBF[COM]\nPort=COM2\n");
    EXPECT_EQ(Read("COM", "Port"), "COM2");
    Write("COM", "port", "COM5");
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[COM]\nPort=COM5\n");
}

TEST_F(SettingsFile, WriteReplacesTheFileWholeAndKeepsItsPermissions) {
    Put("[COM]\nPort=COM1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(Path()).constData(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &before), 0);

    Write("COM", "port", "COM2");
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "written in place, not replaced";
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_TRUE(Strays().isEmpty()) << Strays().join(",").toStdString();

    // An unchanged value leaves the file alone.
    Write("com", "PORT", "COM2");
    struct stat same {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &same), 0);
    EXPECT_EQ(same.st_ino, after.st_ino);
}

TEST_F(SettingsFile, WritingThroughALinkUpdatesItsTarget) {
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath("real.ini");
    ASSERT_NO_FATAL_FAILURE(Put("[COM]\nPort=COM1\n", real));
    ASSERT_TRUE(QFile::link(real, Path()));
    Write("COM", "port", "COM9");
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    EXPECT_EQ(Get(), "[COM]\nPort=COM9\n");
}

TEST_F(SettingsFile, RefusedWriteNamesTheFullPath) {
    // A folder that cannot exist (its parent is a file) refuses every write, for root too.
    Put("not a folder");
    const QString path = Path() + "/sub/PortBench.ini";
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("COM", "Port", "COM1"), "COM1");
    try {
        ini.WriteString("COM", "port", "COM3");
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text, "Unable to write to " + path);
    }
}

// A disk that fills up in the middle of a write.
TEST_F(SettingsFile, FailedWriteLeavesTheOldFileWhole) {
    const QByteArray old = "[send]\ndata=" + QByteArray(3000, '1') + "\n";
    Put(old);
    bool threw = false;
    {
        const NoFileGrowth full(1024); // the new file stops a third of the way
        try {
            Write("send", "data", QString(3000, u'2'));
        } catch (const AppError& error) {
            threw = error.text == "Unable to write to " + Path();
        }
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(Get(), old);
    EXPECT_TRUE(Strays().isEmpty()) << Strays().join(",").toStdString();
}

// The file's own read-only mark binds every user, root too, whose writes the
// permission bits would not stop otherwise.
TEST_F(SettingsFile, ReadOnlyFileRefusesEveryWriteAndStaysAsItWas) {
    const QByteArray old = "[COM]\nPort=COM1\n";
    Put(old);
    const QByteArray name = QFile::encodeName(Path());
    ASSERT_EQ(::chmod(name.constData(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(::stat(name.constData(), &before), 0);

    const auto refused = [&](const QString& section, const QString& key, const QString& value) {
        try {
            Write(section, key, value);
        } catch (const AppError& error) {
            return error.text == "Unable to write to " + Path();
        }
        return false;
    };
    EXPECT_TRUE(refused("COM", "port", "COM2")); // a changed value
    EXPECT_TRUE(refused("Time", "Long", "500")); // a new section
    EXPECT_TRUE(refused("COM", "Port", "COM1")); // and one that changes nothing
    EXPECT_EQ(Read("COM", "Port"), "COM1");      // reading is not refused

    struct stat after {};
    ASSERT_EQ(::stat(name.constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0444u);
    EXPECT_EQ(Get(), old);
    EXPECT_TRUE(Strays().isEmpty()) << Strays().join(",").toStdString();

    // Write permission for anyone lifts the mark.
    ASSERT_EQ(::chmod(name.constData(), 0644), 0);
    Write("COM", "port", "COM2");
    EXPECT_EQ(Get(), "[COM]\nPort=COM2\n");
}

TEST_F(SettingsFile, ReadOnlyTargetOfALinkRefusesTheWrite) {
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath("real.ini");
    ASSERT_NO_FATAL_FAILURE(Put("[COM]\nPort=COM1\n", real));
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0444), 0);
    ASSERT_TRUE(QFile::link(real, Path()));
    EXPECT_THROW(Write("COM", "port", "COM9"), AppError);
    EXPECT_EQ(Get(), "[COM]\nPort=COM1\n");
}

// What a write leaves is what the same write finds: the file is not touched again.
TEST_F(SettingsFile, WritingAValueAgainLeavesTheFileAsItWas) {
    Put("[send]\ndata = old\n");
    const QByteArray name = QFile::encodeName(Path());
    const auto inode = [&] {
        struct stat info {};
        return ::stat(name.constData(), &info) == 0 ? info.st_ino : 0;
    };
    for (const QString value : {" 41 42", "\t41", "  2 blanks", "41 ", "", " ", "plain"}) {
        Write("send", "data", value);
        const QByteArray once = Get();
        const auto file = inode();
        for (int i = 0; i < 20; ++i)
            Write("send", "data", value);
        EXPECT_EQ(Get(), once) << value.toStdString();
        EXPECT_EQ(inode(), file) << "rewritten for " << value.toStdString();
    }
    // A value without blanks of its own keeps the blanks the file had after '='.
    Put("[send]\ndata = old\n");
    Write("send", "data", "new");
    EXPECT_EQ(Get(), "[send]\ndata = new\n");
    Write("send", "data", " 41 42");
    EXPECT_EQ(Get(), "[send]\ndata = 41 42\n");

    // The hex send text, as every keystroke in the send box writes it.
    for (int i = 0; i < 1000; ++i)
        Write("send", "data", " 41 42");
    EXPECT_EQ(Get(), "[send]\ndata = 41 42\n");
    EXPECT_EQ(Read("send", "data"), "41 42");
}

// A folder that takes no new file: the writable file is rewritten in place
// (settings_in_place_test.cpp runs the same as an ordinary user under root).
TEST_F(SettingsFile, ReadOnlyFolderRewritesAWritableFileInPlace) {
    Put("[COM]\nPort=COM1\n");
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    if (::access(folder.constData(), W_OK) == 0) {
        ::chmod(folder.constData(), 0755);
        GTEST_SKIP() << "permissions do not bind this user (root); the size-limit case covers it";
    }
    EXPECT_NO_THROW(Write("COM", "port", "COM2"));
    ::chmod(folder.constData(), 0755);
    EXPECT_EQ(Get(), "[COM]\nPort=COM2\n");
}

} // namespace

namespace {

// Characters typed on the keyboard into the focused control.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

using SettingsWindowTest = FormTest;

TEST_F(SettingsWindowTest, TypingAfterTheHexConversionStoresTheTextAsShown) {
    TForm1& f = Show();
    f.RadioButton2->click();
    f.Edit2->setFocus();
    Type(f.Edit2, "AB");
    f.RadioButton1->click();
    ASSERT_EQ(f.Edit2->text(), " 41 42");
    Type(f.Edit2, " 43");
    EXPECT_EQ(f.Edit2->text(), " 41 42 43");
    EXPECT_EQ(SettingsText(), "[send]\ntype=HEX\ndata= 41 42 43\n");
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsWindowTest, AReadOnlySettingsFileIsReportedAtEveryKeystroke) {
    const QByteArray stored = "[Language]\nLan=Chinese\n";
    WriteSettings(stored);
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFile()).constData(), 0444), 0);
    TForm1& f = Show();
    ASSERT_TRUE(errors.empty());
    f.Edit2->setFocus();
    Type(f.Edit2, "41");
    EXPECT_EQ(f.Edit2->text(), "41"); // the keystrokes themselves are taken
    ASSERT_EQ(errors.size(), 2u);
    for (const QString& error : errors)
        EXPECT_EQ(error, "Unable to write to " + SettingsFile());
    EXPECT_EQ(SettingsText(), stored);
}

} // namespace
