// The help texts, the manual page and the bash completion agree with the program.
#include "program_run.h"
#include "scratch_files.h"
#include "shell_output.h"

#include <sstream>

using namespace loadcelltest;

namespace {

const std::vector<std::string> kCommands = {"scan",  "address",   "assign", "read",
                                            "check", "calibrate", "send"};
const std::vector<std::string> kOptions = {"--port",
                                           "--params",
                                           "--from",
                                           "--to",
                                           "--count",
                                           "--follow",
                                           "--interval",
                                           "--format",
                                           "--settle",
                                           "--retries",
                                           "--force",
                                           "--reconnect",
                                           "--help",
                                           "--version",
                                           "LOADCELL_PORT",
                                           "--readings",
                                           "--max-noise",
                                           "--max-drift",
                                           "--max-failures",
                                           "--limits",
                                           "--readings-out",
                                           "--report",
                                           "--operator",
                                           "--units",
                                           "--calibration",
                                           "--zero",
                                           "--span",
                                           "--unit",
                                           "--keep-calibration",
                                           "XDG_CONFIG_HOME"};

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
    std::string page = scratchtest::ReadFile(LOADCELL_MANUAL);
    ASSERT_FALSE(page.empty());
    for (size_t at; (at = page.find("\\-")) != std::string::npos;)
        page.replace(at, 2, "-");
    for (const std::string& word : kCommands)
        EXPECT_TRUE(Contains(page, ".B " + word) || Contains(page, ".BI \"" + word)) << word;
    for (const std::string& word : kOptions)
        EXPECT_TRUE(Contains(page, word)) << word;
    for (const std::string status : {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",   "8",   "64",
                                     "65", "66", "69", "73", "74", "75", "77", "129", "130", "143"})
        EXPECT_TRUE(Contains(page, ".TP\n.B " + status + "\n")) << status;
    EXPECT_TRUE(Contains(page, "191"));
    EXPECT_TRUE(Contains(page, "dialout"));
    EXPECT_TRUE(Contains(page, "echo"));
    EXPECT_TRUE(Contains(page, ".BR portsim (1),"));
    EXPECT_TRUE(Contains(page, ".BR portbench (1),"));
}

TEST(Docs, TheVersionIsTheProjectsOnTheProgramAndItsPage) {
    for (const char* option : {"--version", "-V"}) {
        Outcome o = RunLoadcell({option});
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out, "loadcell (PortBench) " LOADCELL_VERSION "\n");
    }
    EXPECT_TRUE(Contains(scratchtest::ReadFile(LOADCELL_MANUAL),
                         ".TH LOADCELL 1 \"December 2026\" \"PortBench " LOADCELL_VERSION "\""));
}

TEST(Docs, TheHelpListsTheStatusesAndWhatIsDetected) {
    Outcome o = RunLoadcell({"--help"});
    for (const std::string part :
         {"64   usage error", "66   the port is missing", "74   the port was lost",
          "75   the port is busy", "77   permission denied", "129, 130, 143",
          "an echo of the request", "late or wrong-address"})
        EXPECT_TRUE(Contains(o.out, part)) << part;
}

TEST(Docs, TheManualPageRendersWithoutWarnings) {
    if (Shell("command -v groff").empty()) GTEST_SKIP() << "groff is not installed";
    EXPECT_EQ(Shell("groff -man -Tutf8 -ww -z '" LOADCELL_MANUAL "' 2>&1"), "");
}

// The three manual pages: each states the project's version, keeps its commands and
// quoted messages unhyphenated, points at the other two, and tells a user outside the
// group dialout the one same way in.
TEST(Docs, TheManualPagesAgreeOnVersionHyphenationSeeAlsoAndDialout) {
    const std::string built = LOADCELL_MANUAL;
    const std::string buildTools = built.substr(0, built.rfind("/loadcell/"));
    const std::string sourceTools = LOADCELL_SOURCE_DIR "/..";
    const std::string join = "Serial ports belong to the group\n.BR dialout ;\n"
                             "a user outside it cannot open them.\nJoin it once with\n"
                             ".B sudo adduser \\(dq$USER\\(dq dialout\n"
                             "and log out and in again.\n";
    struct Page {
        std::string path;
        std::string title;
        std::vector<std::string> seeAlso;
        bool tellsDialout;
    };
    const Page pages[] = {
        {built, "LOADCELL", {"portsim", "portbench"}, true},
        {buildTools + "/portsim/portsim.1", "PORTSIM", {"loadcell", "portbench"}, false},
        {sourceTools + "/../portbench/portbench.1", "PORTBENCH", {"loadcell", "portsim"}, true},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.path);
        const std::string text = scratchtest::ReadFile(page.path);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.rfind(".TH " + page.title + " 1 \"December 2026\" \"PortBench " +
                                 LOADCELL_VERSION "\" \"User Commands\"\n",
                             0),
                  0u);
        EXPECT_TRUE(Contains(text, "\n.hy 0\n"));
        const std::string seeAlso = text.substr(text.find(".SH SEE ALSO"));
        for (const std::string& other : page.seeAlso)
            EXPECT_TRUE(Contains(seeAlso, ".BR " + other + " (1)")) << other;
        EXPECT_EQ(Contains(text, "dialout"), page.tellsDialout);
        if (page.tellsDialout) {
            EXPECT_TRUE(Contains(text, join));
        }
    }
}

// Completes the words of `line` (ending in a blank: a new, empty word) as bash would.
std::string Complete(const std::string& line) {
    return Shell("bash -c 'source \"" LOADCELL_SOURCE_DIR "/loadcell.bash-completion\"; "
                 "read -ra COMP_WORDS <<< \"" +
                 line + "\"; [[ \"" + line +
                 "\" == *\" \" ]] && COMP_WORDS+=(\"\"); "
                 "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _loadcell; echo \"${COMPREPLY[*]}\"'");
}

struct Completion {
    const char* line;
    const char* words;
};

void ExpectCompletions(std::initializer_list<Completion> completions) {
    for (const Completion& c : completions)
        EXPECT_EQ(Complete(c.line), std::string(c.words) + "\n") << c.line;
}

TEST(Docs, BashCompletesCommandsOptionsAndFormats) {
    ExpectCompletions({
        {"loadcell ", "scan address assign read check calibrate send"},
        {"loadcell check 3 --format ", "table csv json"},
        {"loadcell calibrate 3 --z", "--zero"},
        {"loadcell check 3 --max-", "--max-noise --max-drift --max-failures"},
        {"loadcell as", "assign"},
        {"loadcell --port /dev/ttyS0 re", "read"},
        {"loadcell scan --", "--port --params --help --from --to --settle"},
        {"loadcell read 3 --f", "--follow --format"},
        {"loadcell read 3 --format ", "text csv jsonl"},
        {"loadcell send --", "--port --params --help"},
        {"loadcell assign 5 --f", "--from --force"},
    });
}

TEST(Docs, BashCompletesTheEqualsFormAndOffersAnOptionOnce) {
    ExpectCompletions({
        // As one word, and as bash splits it at the "=" (a word break).
        {"loadcell read 3 --format=c", "--format=csv"},
        {"loadcell read 3 --format = j", "jsonl"},
        // A value given as --port=X is no command.
        {"loadcell --port=/dev/ttyS0 re", "read"},
        {"loadcell --port = /dev/ttyS0 re", "read"},
        {"loadcell read 3 --format csv --count 2 --f", ""},
        {"loadcell scan --port=x --from 2 --", "--params --help --to --settle"},
    });
}

TEST(Docs, BashOffersSerialPortsNotConsoles) {
    std::istringstream ports(Complete("loadcell scan --port "));
    for (std::string word; ports >> word;) {
        bool serial = false;
        for (const char* kind : {"/dev/ttyUSB", "/dev/ttyACM", "/dev/ttyS", "/dev/serial/by-id/"})
            serial = serial || word.rfind(kind, 0) == 0;
        EXPECT_TRUE(serial) << word; // never /dev/tty1, a virtual console
    }
    const bool ttyS0 = ::access("/dev/ttyS0", F_OK) == 0;
    EXPECT_EQ(Complete("loadcell scan --port=/dev/ttyS0"), ttyS0 ? "--port=/dev/ttyS0\n" : "\n");
    EXPECT_EQ(Complete("loadcell scan --port /dev/tty1"), "\n");
}

} // namespace
