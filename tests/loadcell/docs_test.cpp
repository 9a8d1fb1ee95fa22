// The help texts, the manual page and the bash completion agree with the program.
#include "program_run.h"
#include "shell_output.h"

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
    std::string page = FileText(LOADCELL_SOURCE_DIR "/loadcell.1");
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
    EXPECT_TRUE(Contains(FileText(LOADCELL_SOURCE_DIR "/loadcell.1"),
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
    EXPECT_EQ(Complete("loadcell "), "scan address assign read check calibrate send\n");
    EXPECT_EQ(Complete("loadcell check 3 --format "), "table csv json\n");
    EXPECT_EQ(Complete("loadcell calibrate 3 --z"), "--zero\n");
    EXPECT_EQ(Complete("loadcell check 3 --max-"), "--max-noise --max-drift --max-failures\n");
    EXPECT_EQ(Complete("loadcell as"), "assign\n");
    EXPECT_EQ(Complete("loadcell --port /dev/ttyS0 re"), "read\n");
    EXPECT_EQ(Complete("loadcell scan --"), "--port --params --help --from --to --settle\n");
    EXPECT_EQ(Complete("loadcell read 3 --f"), "--follow --format\n");
    EXPECT_EQ(Complete("loadcell read 3 --format "), "text csv jsonl\n");
    EXPECT_EQ(Complete("loadcell send --"), "--port --params --help\n");
    EXPECT_EQ(Complete("loadcell assign 5 --f"), "--from --force\n");
}

TEST(Docs, BashCompletesTheEqualsFormAndOffersAnOptionOnce) {
    // As one word, and as bash splits it at the "=" (a word break).
    EXPECT_EQ(Complete("loadcell read 3 --format=c"), "--format=csv\n");
    EXPECT_EQ(Complete("loadcell read 3 --format = j"), "jsonl\n");
    // A value given as --port=X is no command.
    EXPECT_EQ(Complete("loadcell --port=/dev/ttyS0 re"), "read\n");
    EXPECT_EQ(Complete("loadcell --port = /dev/ttyS0 re"), "read\n");
    EXPECT_EQ(Complete("loadcell read 3 --format csv --count 2 --f"), "\n");
    EXPECT_EQ(Complete("loadcell scan --port=x --from 2 --"), "--params --help --to --settle\n");
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
