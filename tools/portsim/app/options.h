// The portsim command line.
#ifndef PORTSIM_OPTIONS_H
#define PORTSIM_OPTIONS_H

#include "portsim/bench.h"

#include <string>

namespace portsim {

struct Options {
    Config config;
    std::string linkPath;
    std::string pidFile;     // written with the playing process's id, removed at exit
    bool background = false; // play in a child process; the program ends after the ready line
    bool trace = false;      // requests and answers on stderr
    double hangupAfterS = 0; // the device goes away after this many seconds (0: never)
};

enum class ParseOutcome { Run, Help, Version, Error };

// Reads the arguments into `options`. On Error, `error` is one line naming the option.
ParseOutcome ParseOptions(int argc, char** argv, Options& options, std::string& error);

std::string UsageText();

} // namespace portsim

#endif
