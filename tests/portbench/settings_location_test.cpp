// Where the settings file lives: beside a program run from its build tree or a
// folder of its own, in the user's configuration folder for an installed one.
// The installed case is laid out for real: a bin/ folder with the installation's
// marker at its place beside it, and XDG_CONFIG_HOME pointing into the test's folder.
#include "form_fixture.h"
#include "settings_location.h"
#include "window_input.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace {

// An environment variable set (or, given no value, unset) for one test and put
// back afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<QByteArray>& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

class SettingsLocation : public FormTest {
  protected:
    QString Tree(const QString& relative) const { return settingsDir.filePath(relative); }

    // <tree>/bin as the program's folder, with or without the marker beside it.
    QString ProgramFolder(bool installed) {
        const QString bin = Tree("usr/bin");
        EXPECT_TRUE(QDir().mkpath(bin));
        if (installed) {
            const QString marker = QDir::cleanPath(bin + "/" + InstalledMarker());
            EXPECT_TRUE(QDir().mkpath(QFileInfo(marker).absolutePath()));
            QFile file(marker);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
        SetSettingsFolderForTesting(bin);
        return bin;
    }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

TEST_F(SettingsLocation, TheMarkerLiesInTheSharedDataFolderOfTheTree) {
    EXPECT_EQ(InstalledMarker(), "../share/portbench/installed");
    const QString bin = ProgramFolder(false);
    EXPECT_FALSE(IsInstalledProgram(bin));
    // A folder of that name is not the marker.
    ASSERT_TRUE(QDir().mkpath(Tree("usr/share/portbench/installed")));
    EXPECT_FALSE(IsInstalledProgram(bin));
    ASSERT_TRUE(QDir().rmdir(Tree("usr/share/portbench/installed")));
    ProgramFolder(true);
    EXPECT_TRUE(IsInstalledProgram(bin));
    // Only the program's own tree counts, not the folder above it.
    EXPECT_FALSE(IsInstalledProgram(Tree("usr")));
}

TEST_F(SettingsLocation, TheUserConfigFolderFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(UserConfigFolder("/srv/cfg", "/home/u"), "/srv/cfg");
    EXPECT_EQ(UserConfigFolder("/srv/cfg/", "/home/u"), "/srv/cfg");
    EXPECT_EQ(UserConfigFolder("", "/home/u"), "/home/u/.config");
    // A relative path is not valid there and is ignored.
    EXPECT_EQ(UserConfigFolder("cfg", "/home/u"), "/home/u/.config");
}

TEST_F(SettingsLocation, ABuildTreeOrPortableCopyKeepsItsFileBesideTheProgram) {
    const ScopedEnv config("XDG_CONFIG_HOME", Tree("config").toUtf8());
    const QString bin = ProgramFolder(false);
    EXPECT_EQ(SettingsPath(), bin + "/PortBench.ini");
    TForm1& f = Show();
    Click(f.CheckBox1);
    EXPECT_EQ(Contents(bin + "/PortBench.ini"), "[Show]\ntype=ASCII\n");
    EXPECT_FALSE(QFileInfo::exists(Tree("config")));
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsLocation, AnInstalledProgramWritesInTheUserConfigFolderCreatedAtTheFirstWrite) {
    const QString config = Tree("home/.config");
    const ScopedEnv xdg("XDG_CONFIG_HOME", config.toUtf8());
    const QString bin = ProgramFolder(true);
    const QString file = config + "/PortBench/PortBench.ini";
    EXPECT_EQ(SettingsPath(), file);

    TForm1& f = Show();
    // Starting reads only: nothing is created.
    EXPECT_FALSE(QFileInfo::exists(config));
    Click(f.CheckBox1);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Contents(file), "[Show]\ntype=ASCII\n");
    EXPECT_FALSE(QFileInfo::exists(bin + "/PortBench.ini"));
    // The folder the program made is the user's own.
    EXPECT_EQ(QFileInfo(config + "/PortBench").permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    // The next start reads it back from there.
    form.reset();
    TForm1& again = Show();
    EXPECT_FALSE(again.CheckBox1->isChecked());
}

TEST_F(SettingsLocation, WithoutXdgConfigHomeTheFileIsUnderTheHomeFolder) {
    const ScopedEnv home("HOME", Tree("home").toUtf8());
    const ScopedEnv xdg("XDG_CONFIG_HOME", "");
    ProgramFolder(true);
    EXPECT_EQ(SettingsPath(), Tree("home") + "/.config/PortBench/PortBench.ini");
    TForm1& f = Show();
    Click(f.ToolButton4);
    EXPECT_EQ(Contents(Tree("home/.config/PortBench/PortBench.ini")), "[Language]\nLan=English\n");
}

TEST_F(SettingsLocation, WithoutHomeTheFileIsUnderTheUsersHomeFolderFromThePasswordDatabase) {
    const ScopedEnv home("HOME", std::nullopt);
    const ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    ProgramFolder(true);
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(SettingsPath(), QDir::cleanPath(QFile::decodeName(entry->pw_dir) + "/.config") +
                                  "/PortBench/PortBench.ini");
}

TEST_F(SettingsLocation, AnInstalledProgramStartsFromTheUserFileAndReportsItsFullPath) {
    // The configuration folder cannot be made (a file stands in its way), for root too.
    QFile blocker(Tree("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ScopedEnv xdg("XDG_CONFIG_HOME", Tree("blocker/config").toUtf8());
    ProgramFolder(true);
    // A file beside the installed program is not read.
    QFile beside(Tree("usr/bin/PortBench.ini"));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.write("[Language]\nLan=English\n");
    beside.close();

    TForm1& f = Show();
    EXPECT_EQ(f.CurrentLanguage, "Chinese");
    EXPECT_TRUE(errors.empty());
    Click(f.ToolButton4);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              "Unable to write to " + Tree("blocker/config") + "/PortBench/PortBench.ini");
}

} // namespace
