// A thread of the platform, made suspended: it runs its entry only once resumed. Each
// platform gives one implementation (platform_thread_posix.cpp, platform_thread_win32.cpp);
// TThread (threads.h) builds on it.
#ifndef PORTLINE_PLATFORM_THREAD_H
#define PORTLINE_PLATFORM_THREAD_H

#include <memory>

namespace portline {

class PlatformThread {
  public:
    using Entry = void (*)(void* argument);

    // Makes the thread without running it. Throws std::runtime_error
    // "Thread creation error: ..." with the platform's reason when no thread can be made.
    PlatformThread(Entry entry, void* argument);
    ~PlatformThread(); // resumes and joins it, when its owner has not
    PlatformThread(const PlatformThread&) = delete;
    PlatformThread& operator=(const PlatformThread&) = delete;

    // The priority it runs at (on Windows a thread priority, on Linux a nice value).
    void SetPriority(int priority);
    // Lets it run its entry; later calls change nothing.
    void Resume();
    // Waits until the entry has returned and releases the thread; later calls change
    // nothing. A thread never resumed would never return: resume it first.
    void Join();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace portline

#endif
