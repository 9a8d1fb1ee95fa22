// The help texts, the manual page and the bash completion agree with the program.
#include "program_run.h"

#include <fstream>
#include <sstream>

using namespace loadcelltest;

namespace {

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Shell(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return output;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    ::pclose(pipe);
    return output;
}

const std::vector<std::string> kCommands = {"scan", "address", "assign", "read", "send"};
const std::vector<std::string> kOptions = {"--port",  "--params",     "--from",     "--to",
                                           "--count", "--follow",     "--interval", "--format",
                                           "--help",  "LOADCELL_PORT"};

TEST(Docs, EveryCommandHasItsHelp) {
    Outcome program = RunLoadcell({"--help"});
    EXPECT_EQ(program.status, 0);
    for (const std::string& command : kCommands) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(Contains(program.out, "  " + command + " "));
        Outcome o = RunLoadcell({command, "--help"});
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out.rfind("Usage: loadcell " + command, 0), 0u) << o.out;
        EXPECT_TRUE(Contains(o.out, "Exit status"));
        EXPECT_EQ(o.err, "");
    }
}

TEST(Docs, TheManualPageNamesEveryCommandOptionAndExitStatus) {
    // groff's roff source writes a minus as \-.
    std::string page = FileText(LOADCELL_SOURCE_DIR "/loadcell.1");
    ASSERT_FALSE(page.empty());
    for (size_t at; (at = page.find("\\-")) != std::string::npos;)
        page.replace(at, 2, "-");
    for (const std::string& word : kCommands)
        EXPECT_TRUE(Contains(page, ".B " + word) || Contains(page, ".BI \"" + word)) << word;
    for (const std::string& word : kOptions)
        EXPECT_TRUE(Contains(page, word)) << word;
    for (const std::string status : {"0", "1", "2", "3", "4", "5", "6", "7", "130"})
        EXPECT_TRUE(Contains(page, ".TP\n.B " + status + "\n")) << status;
    EXPECT_TRUE(Contains(page, "191"));
    EXPECT_TRUE(Contains(page, "dialout"));
}

TEST(Docs, TheManualPageRendersWithoutWarnings) {
    if (Shell("command -v groff").empty()) GTEST_SKIP() << "groff is not installed";
    EXPECT_EQ(Shell("groff -man -Tutf8 -ww -z '" LOADCELL_SOURCE_DIR "/loadcell.1' 2>&1"), "");
}

// Completes the words of `line` (ending in a blank: a new, empty word) as bash would.
std::string Complete(const std::string& line) {
    return Shell("bash -c 'source \"" LOADCELL_SOURCE_DIR "/loadcell.bash-completion\"; "
                 "read -ra COMP_WORDS <<< \"" +
                 line + "\"; [[ \"" + line +
                 "\" == *\" \" ]] && COMP_WORDS+=(\"\"); "
                 "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _loadcell; echo \"${COMPREPLY[*]}\"'");
}

TEST(Docs, BashCompletesCommandsOptionsAndFormats) {
    EXPECT_EQ(Complete("loadcell "), "scan address assign read send\n");
    EXPECT_EQ(Complete("loadcell as"), "assign\n");
    EXPECT_EQ(Complete("loadcell --port /dev/ttyS0 re"), "read\n");
    EXPECT_EQ(Complete("loadcell scan --"), "--port --params --help --from --to\n");
    EXPECT_EQ(Complete("loadcell read 3 --f"), "--follow --format\n");
    EXPECT_EQ(Complete("loadcell read 3 --format "), "text csv jsonl\n");
    EXPECT_EQ(Complete("loadcell send --"), "--port --params --help\n");
}

} // namespace
