// The console side of the program: Ctrl-C, pauses it can cut short, and whether a
// stream goes to a terminal.
#ifndef LOADCELL_CONSOLE_H
#define LOADCELL_CONSOLE_H

#include <cstdio>

namespace loadcell {

// From here on SIGINT and SIGTERM only ask the program to stop; a write to a closed
// pipe fails instead of ending the program.
void CatchStopSignals();
bool StopRequested();
// Sleeps `milliseconds`, returning early (false) once a stop is asked for.
bool PauseUnlessStopped(int milliseconds);

bool IsTerminal(std::FILE* stream);

} // namespace loadcell

#endif
