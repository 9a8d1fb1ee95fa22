// Nothing is written outside the settings file, also not at exit: a whole run
// of the window, its file dialog used, in a process of its own whose home and
// configuration folders are empty folders that must stay empty.
#include "form_fixture.h"

#include <QDirIterator>
#include <QProcess>
#include <QTimer>

namespace {

constexpr char WindowRun[] = "NothingWrittenOutside.DISABLED_RunOfTheWindow";

// Every file and folder below `root`, hidden ones included.
QStringList Contents(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

using NothingWrittenOutside = FormTest;

// Runs only in the process the test below starts.
TEST_F(NothingWrittenOutside, DISABLED_RunOfTheWindow) {
    QTemporaryDir files;
    const QString path = files.filePath("loaded.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("loaded") == 6);
    }

    TForm1& f = Show();
    QTimer::singleShot(0, &f, [&f, path] {
        f.OpenDialog1->selectFile(path);
        static_cast<QDialog*>(f.OpenDialog1)->accept();
    });
    f.ToolButton1Click();
    EXPECT_EQ(f.Memo1->toPlainText(), "loaded");
    f.close();
}

TEST(NothingWrittenOutsideTheSettingsFile, NotEvenAtExit) {
    QTemporaryDir home;
    QTemporaryDir config;
    ASSERT_TRUE(home.isValid() && config.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", config.path());
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_also_run_disabled_tests", QString("--gtest_filter=") + WindowRun});
    ASSERT_TRUE(run.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    ASSERT_EQ(run.exitStatus(), QProcess::NormalExit) << output.toStdString();
    ASSERT_EQ(run.exitCode(), 0) << output.toStdString();
    ASSERT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    for (const QString& folder : {home.path(), config.path()})
        EXPECT_TRUE(Contents(folder).isEmpty()) << Contents(folder).join(", ").toStdString();
}

} // namespace
