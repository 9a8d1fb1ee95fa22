// What the Windows layer does on the loader's notices (dllmain_win32.cpp receives them).
#ifndef PORTLINE_WIN32_NOTICES_H
#define PORTLINE_WIN32_NOTICES_H

namespace portline {

// The process attached the library: the completion events are made.
void LibraryLoaded();

// A thread of the host process started or ended: the held port's event mask is set to
// receive and transmit-empty, which ends a pending event wait. Without a port, nothing.
void ThreadStartedOrEndedInProcess();

} // namespace portline

#endif
