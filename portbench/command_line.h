// The command line, looked at before the toolkit starts: --help and --version
// answer without a display; anything else is left to the toolkit's own options.
#ifndef PORTBENCH_COMMAND_LINE_H
#define PORTBENCH_COMMAND_LINE_H

#include <optional>

// The exit status when the command line is answered here (the text is then
// printed on stdout), none when the window is to start.
std::optional<int> AnswerCommandLine(int argc, char** argv);

#endif
