// The settings file of a user who may write the file but not its folder (no
// new file can be made beside it): the file is rewritten in place. A read-only
// file is still refused, and a full disk leaves the file as it was. The writes
// run in a child process of an ordinary user, since root may write any folder.
#include "full_disk.h"
#include "messages.h"
#include "program_child.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr char WriteRun[] = "SettingsInPlace.DISABLED_WriteAsAnOrdinaryUser";
constexpr uid_t Nobody = 65534;

// Runs only in the child: one write to PORTBENCH_TEST_SETTINGS, on a disk that
// takes no more bytes when PORTBENCH_TEST_FULL is set.
TEST(SettingsInPlace, DISABLED_WriteAsAnOrdinaryUser) {
    const QString path = QString::fromLocal8Bit(qgetenv("PORTBENCH_TEST_SETTINGS"));
    const bool full = qEnvironmentVariableIsSet("PORTBENCH_TEST_FULL");
    try {
        const auto disk = full ? std::make_unique<NoFileGrowth>(QFileInfo(path).size()) : nullptr;
        TIniFile(path).WriteString("COM", "port", "/dev/ttyUSB0-with-a-longer-name");
        std::printf("written\n");
    } catch (const AppError& error) {
        std::printf("refused: %s\n", error.text.toUtf8().constData());
    }
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(SettingsInPlace, AWritableFileInAFolderThatTakesNoNewFile) {
    const QByteArray before = "[COM]\nport=/dev/ttyS0\nparameter=9600,n,8,1\n";
    const QByteArray after = "[COM]\nport=/dev/ttyUSB0-with-a-longer-name\nparameter=9600,n,8,1\n";
    struct Case {
        const char* name;
        mode_t mode;
        bool full;
        const char* outcome;
        QByteArray contents;
    };
    const Case cases[] = {
        {"writable file", 0666, false, "written\n", after},
        {"read-only file", 0444, false, "refused: Unable to write to ", before},
        {"full disk", 0666, true, "refused: Unable to write to ", before},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder; // the ordinary user may enter it, not add to it
        ASSERT_TRUE(::chmod(QFile::encodeName(folder.path()).constData(), 0755) == 0);
        const QString path = folder.filePath("PortBench.ini");
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        }
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);
        struct stat old {};
        ::stat(QFile::encodeName(path).constData(), &old);

        std::vector<std::string> add = {"PORTBENCH_TEST_SETTINGS=" + path.toStdString()};
        if (c.full) add.push_back("PORTBENCH_TEST_FULL=1");
        std::vector<std::string> args = {QCoreApplication::applicationFilePath().toStdString(),
                                         "--gtest_also_run_disabled_tests",
                                         std::string("--gtest_filter=") + WriteRun};
        std::vector<std::string> environment =
            childtest::Environment({"PORTBENCH_TEST_SETTINGS", "PORTBENCH_TEST_FULL"}, add);
        childtest::Child child(args, environment, [] {
            if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0) ::_exit(126);
        });
        ASSERT_TRUE(child.Wait(60000));
        ASSERT_TRUE(WIFEXITED(child.Status()) && WEXITSTATUS(child.Status()) == 0)
            << child.Output() << child.Errors();
        EXPECT_NE(child.Output().find(c.outcome), std::string::npos) << child.Output();
        EXPECT_EQ(Read(path), c.contents);
        struct stat now {};
        ::stat(QFile::encodeName(path).constData(), &now);
        EXPECT_EQ(now.st_ino, old.st_ino); // the same file, not a new one
        EXPECT_EQ(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"PortBench.ini"});
    }
}

} // namespace
