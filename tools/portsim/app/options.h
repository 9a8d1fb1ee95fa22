// The portsim command line.
#ifndef PORTSIM_OPTIONS_H
#define PORTSIM_OPTIONS_H

#include "portsim/bench.h"

#include <string>

namespace portsim {

struct Options {
    Config config;
    std::string linkPath;
};

enum class ParseOutcome { Run, Help, Error };

// Reads the arguments into `options`. On Error, `error` is one line naming the option.
ParseOutcome ParseOptions(int argc, char** argv, Options& options, std::string& error);

std::string UsageText();

// "41 42 0D 0A" -> 41 42 0D 0A: groups of one or two hexadecimal digits,
// separated by blanks or commas. False on anything else or on no bytes.
bool ParseHexBytes(const std::string& text, Bytes& bytes);

} // namespace portsim

#endif
