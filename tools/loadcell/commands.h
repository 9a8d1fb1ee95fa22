// The five commands, each on the port of one run, through Portline's exports.
#ifndef LOADCELL_COMMANDS_H
#define LOADCELL_COMMANDS_H

#include "options.h"

namespace loadcell {

// Opens the port, runs the command, closes the port; returns the exit status.
// Results go to standard output, errors and the read summary to standard error.
int RunCommand(const Invocation& invocation);

} // namespace loadcell

#endif
