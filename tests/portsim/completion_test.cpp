// portsim's bash completion, run by bash on the words a user has typed.
#include "portsim_program.h"

#include <gtest/gtest.h>

using namespace portsim::testing;

namespace {

// The completions bash offers for `words` (the last one being typed), one a line.
std::string Complete(const std::string& words) {
    const std::string script = "source '" PORTSIM_SOURCE_DIR "/portsim.bash-completion'\n"
                               "COMP_WORDS=(" +
                               words +
                               ")\n"
                               "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                               "_portsim\n"
                               "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    Program bash({"/bin/bash", "--norc", "-c", script}, false);
    std::string out = bash.Out();
    EXPECT_EQ(bash.Wait(), 0) << words;
    return out;
}

TEST(Completion, OffersValuesAndOptionsNotYetGiven) {
    struct Case {
        std::string words;    // as bash splits them ("--option=VALUE" at the '=')
        std::string expected; // the offers, one a line
    };
    const Case cases[] = {
        {"portsim --write-answer ''", "accept\naddress\nnone\n"},
        {"portsim --write-answer = a", "accept\naddress\n"},
        {"portsim --write-answer =", "accept\naddress\nnone\n"},
        {"portsim --write-answer=n", "--write-answer=none\n"},
        {"portsim --baud = 96", "9600\n"},
        {"portsim --late ''", "\n"},
        {"portsim --two", "--two-cells\n"},
        {"portsim --hang", "--hangup-after\n"},
        {"portsim --trace --tr", "\n"},
        {"portsim --seed = 4 --se", "\n"},
        {"portsim --cell 1 --ce", "--cell\n"},
        {"portsim --b", "--baud\n--background\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Complete(c.words), c.expected) << c.words;
}

TEST(Completion, PathsForTheLinkAndThePidFile) {
    for (const char* option : {"--link ", "--pidfile ", "--link = "})
        EXPECT_EQ(
            Complete(std::string("portsim ") + option + "'" PORTSIM_SOURCE_DIR "/portsim.bash-c'"),
            PORTSIM_SOURCE_DIR "/portsim.bash-completion\n")
            << option;
}

} // namespace
