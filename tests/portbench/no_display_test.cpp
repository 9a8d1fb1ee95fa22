// The program started where it has no display, and asked for help or its
// version: one line and status 1 instead of the toolkit's abort; the two
// answers need no display at all.
#include "display_check.h"
#include "program_child.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A display number no X server listens on.
std::string AbsentDisplay() {
    for (int n = 97;; --n)
        if (!QDir("/tmp/.X11-unix").exists(QString("X%1").arg(n))) return ":" + std::to_string(n);
}

TEST(NoDisplay, OneLineAndStatusOneOrTheAnswerWithStatusZero) {
    const std::string noDisplay = std::string(NoDisplayMessage) + "\n";
    const std::vector<std::string> displays = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> environment;
        int status;
        std::string output;
        std::string errors;
    };
    const Case cases[] = {
        {"no display at all", {}, {}, 1, "", noDisplay},
        {"a display no server serves", {}, {"DISPLAY=" + AbsentDisplay()}, 1, "", noDisplay},
        {"Wayland named without its display", {}, {"QT_QPA_PLATFORM=wayland"}, 1, "", noDisplay},
        {"the X11 platform asked for", {"-platform", "xcb"}, {}, 1, "", noDisplay},
        {"--version", {"--version"}, {}, 0, "portbench 3.6.2\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {PORTBENCH_PROGRAM};
        args.insert(args.end(), c.args.begin(), c.args.end());
        childtest::Child child(args, childtest::Environment(displays, c.environment));
        ASSERT_TRUE(child.Wait(60000));
        ASSERT_TRUE(WIFEXITED(child.Status())) << "ended by signal " << WTERMSIG(child.Status());
        EXPECT_EQ(WEXITSTATUS(child.Status()), c.status);
        EXPECT_EQ(child.Output(), c.output);
        EXPECT_EQ(child.Errors(), c.errors);
    }

    childtest::Child help({PORTBENCH_PROGRAM, "--help"}, childtest::Environment(displays));
    ASSERT_TRUE(help.Wait(60000));
    EXPECT_TRUE(WIFEXITED(help.Status()) && WEXITSTATUS(help.Status()) == 0);
    EXPECT_EQ(help.Output().rfind("Usage: portbench", 0), 0u) << help.Output();
    EXPECT_EQ(help.Errors(), "");
}

} // namespace
