// Priorities and thread names on Linux: nice values per thread (on Linux setpriority with
// a thread id acts on that thread alone; platform_thread_posix.cpp sets a new thread's).
#include "priority.h"

#include <cerrno>
#include <cstdlib>

#include <dirent.h>
#include <pthread.h>
#include <sys/resource.h>

namespace portline {

int NormalPriority() {
    errno = 0;
    int value = getpriority(PRIO_PROCESS, 0); // on Linux: the calling thread's
    return errno == 0 ? value : 0;
}

void RaiseProcessPriority() {
    constexpr int kHigh = -5;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return;
    while (dirent* entry = readdir(tasks)) {
        char* end;
        long tid = std::strtol(entry->d_name, &end, 10);
        if (*end != 0 || tid <= 0) continue;
        errno = 0;
        int current = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
        if (errno == 0 && current > kHigh) setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kHigh);
    }
    closedir(tasks);
}

void SetCurrentThreadName(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

} // namespace portline
