// A DLL of the tests' own (thread_attach_probe.cpp) that keeps the ids of the live threads
// whose thread-attach notice the loader has delivered: a thread gets that notice as it
// first runs, so a test can tell whether a thread has begun.
#ifndef PORTLINE_TESTS_WINDOWS_THREAD_ATTACH_PROBE_H
#define PORTLINE_TESTS_WINDOWS_THREAD_ATTACH_PROBE_H

#include <windows.h>

extern "C" BOOL ThreadAttachNoticed(DWORD threadId);

#endif
