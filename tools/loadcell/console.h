// The console side of the program: the stop signals, pauses they cut short, and
// whether a stream goes to a terminal.
#ifndef LOADCELL_CONSOLE_H
#define LOADCELL_CONSOLE_H

#include <chrono>
#include <cstdio>

namespace loadcell {

// From here on SIGINT, SIGTERM and SIGHUP only ask the program to stop, so that it
// ends as Ctrl-C ends it (summary written, port closed); a write to a closed pipe
// fails instead of ending the program.
void CatchStopSignals();
bool StopRequested();
// The signal that asked for the stop, 0 while none did.
int StopSignal();
// Sleeps `milliseconds`, returning early (false) once a stop is asked for.
bool PauseUnlessStopped(int milliseconds);
// Sleeps until `when` on the steady clock; false when a stop came first.
bool PauseUntil(std::chrono::steady_clock::time_point when);

bool IsTerminal(std::FILE* stream);

} // namespace loadcell

#endif
