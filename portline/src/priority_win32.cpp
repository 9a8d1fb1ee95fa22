// Priorities and thread names on Windows: the process's priority class, and the relative
// priority that platform_thread_win32.cpp sets on a new thread's handle.
#include "priority.h"

#include <string>

#include <windows.h>

namespace portline {

int NormalPriority() {
    return THREAD_PRIORITY_NORMAL;
}

void RaiseProcessPriority() {
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

// SetThreadDescription came with Windows 10 1607; older systems go without names.
void SetCurrentThreadName(const char* name) {
    using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    static const auto describe = reinterpret_cast<Describe>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadDescription")));
    if (!describe) return;
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    describe(GetCurrentThread(), wide.c_str());
}

} // namespace portline
