// The process's priority, the priority value of a normal thread, and thread names: the
// platform's own calls, kept out of the thread logic. Each platform gives one
// implementation (priority_posix.cpp on Linux). A thread's own priority is set through
// PlatformThread (platform_thread.h).
#ifndef PORTLINE_PRIORITY_H
#define PORTLINE_PRIORITY_H

namespace portline {

// The priority the reader threads are given: on Linux the calling thread's nice value, on
// Windows THREAD_PRIORITY_NORMAL.
int NormalPriority();

// Raises the whole process a little (on Linux every thread's nice value is lowered to -5
// when it is above that). Needs the privilege to do so; without it nothing changes.
void RaiseProcessPriority();

// Given by a thread to itself as it starts running.
void SetCurrentThreadName(const char* name);

} // namespace portline

#endif
