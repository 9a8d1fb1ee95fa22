// The loader's notices to Portline.dll.
#include "win32_notices.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        portline::LibraryLoaded();
        break;
    case DLL_THREAD_ATTACH:
    case DLL_THREAD_DETACH:
        portline::ThreadStartedOrEndedInProcess();
        break;
    default:
        break; // unloading releases nothing: the process's end does
    }
    return TRUE;
}
