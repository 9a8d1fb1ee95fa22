// Process and thread priorities, and thread names: the platform's own calls, kept out of the
// thread logic. Each platform gives one implementation (priority_posix.cpp on Linux).
#ifndef PORTLINE_PRIORITY_H
#define PORTLINE_PRIORITY_H

namespace portline {

// The priority new threads get: the calling thread's (on Linux its nice value).
int NormalPriority();

// Raises the whole process a little (on Linux every thread's nice value is lowered to -5
// when it is above that). Needs the privilege to do so; without it nothing changes.
void RaiseProcessPriority();

// Applied by a thread to itself as it starts running.
void SetCurrentThreadPriority(int priority);
void SetCurrentThreadName(const char* name);

} // namespace portline

#endif
