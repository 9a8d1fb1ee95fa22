// The loader tells every DLL of the process when a thread starts and when it ends. This one
// keeps the ids of the threads that have started and not yet ended; an id is given again
// only once its thread has ended, so a kept id is always that of a live thread.
#include <windows.h>

namespace {

constexpr int kSlots = 1024;
DWORD g_live[kSlots]; // zero: a free slot
SRWLOCK g_lock = SRWLOCK_INIT;

void Replace(DWORD from, DWORD to) {
    AcquireSRWLockExclusive(&g_lock);
    for (DWORD& slot : g_live) {
        if (slot == from) {
            slot = to;
            break;
        }
    }
    ReleaseSRWLockExclusive(&g_lock);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_THREAD_ATTACH) Replace(0, GetCurrentThreadId());
    if (reason == DLL_THREAD_DETACH) Replace(GetCurrentThreadId(), 0);
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL ThreadAttachNoticed(DWORD threadId) {
    if (threadId == 0) return FALSE;
    AcquireSRWLockShared(&g_lock);
    bool found = false;
    for (DWORD slot : g_live)
        found = found || slot == threadId;
    ReleaseSRWLockShared(&g_lock);
    return found;
}
