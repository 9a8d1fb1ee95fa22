// The --help texts of the program and of each command.
#ifndef LOADCELL_USAGE_H
#define LOADCELL_USAGE_H

#include "options.h"

#include <string>

namespace loadcell {

// The program's help for Command::None.
std::string HelpText(Command command);

} // namespace loadcell

#endif
