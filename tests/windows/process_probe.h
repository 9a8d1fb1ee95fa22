// Looks at the test process from the inside: its threads, its handles, and the port handle
// that Portline holds (found among the process's handles, since the port is exclusive and
// no second open of it can read its settings back).
#ifndef PORTLINE_TESTS_WINDOWS_PROCESS_PROBE_H
#define PORTLINE_TESTS_WINDOWS_PROCESS_PROBE_H

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <windows.h>

#include <tlhelp32.h>

namespace wintest {

// The ids of the process's threads.
inline std::set<DWORD> ThreadIds() {
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

// The process's named threads with their priorities (GetThreadDescription: Windows 10 and
// Wine; the compiler's headers do not declare it).
inline std::multimap<std::string, int> NamedThreadPriorities() {
    using Describe = HRESULT(WINAPI*)(HANDLE, PWSTR*);
    const auto GetThreadDescription = reinterpret_cast<Describe>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetThreadDescription")));
    std::multimap<std::string, int> named;
    if (!GetThreadDescription) return named;
    for (DWORD id : ThreadIds()) {
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (!thread) continue;
        PWSTR description = nullptr;
        if (SUCCEEDED(GetThreadDescription(thread, &description)) && description) {
            std::string name;
            for (PWSTR c = description; *c; ++c)
                name += static_cast<char>(*c);
            if (!name.empty()) named.emplace(name, GetThreadPriority(thread));
            LocalFree(description);
        }
        CloseHandle(thread);
    }
    return named;
}

// The process's open handles. Wine's GetProcessHandleCount gives 0 whatever is open, so
// there the handle values are tried one by one (Wine hands out small multiples of 4).
inline DWORD HandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

// Waits until the process is back to (or below) the threads and handles it had: Wine's
// thread pool keeps an idle worker for a few seconds and a wait that a close ended may
// still be winding down, so a snapshot taken at once can hold a thread that is about to
// go. A leak does not settle: it stays above the mark however long it is given.
inline bool SettlesBackTo(const std::set<DWORD>& threads, DWORD handles) {
    for (int i = 0; i < 120; ++i) {
        const std::set<DWORD> now = ThreadIds();
        if (std::includes(threads.begin(), threads.end(), now.begin(), now.end()) &&
            HandleCount() <= handles)
            return true;
        Sleep(250);
    }
    return false;
}

// The one communications handle of the process: the port the library holds.
inline HANDLE HeldPort() {
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        HANDLE h = reinterpret_cast<HANDLE>(value);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (GetFileType(h) == FILE_TYPE_CHAR && GetCommState(h, &dcb)) return h;
    }
    return nullptr;
}

inline DCB HeldPortState() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (HANDLE h = HeldPort()) GetCommState(h, &dcb);
    return dcb;
}

} // namespace wintest

#endif
