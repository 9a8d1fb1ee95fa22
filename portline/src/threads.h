// The thread base TThread: creation, priority, resuming, the stop request and the join.
// The reader threads derive from it (receive.h).
#ifndef PORTLINE_THREADS_H
#define PORTLINE_THREADS_H

#include "platform_thread.h"

#include <atomic>

namespace portline {

// A thread object: created suspended, given a priority, resumed, asked to stop, and
// destroyed by its owner, which waits until the loop has ended.
class TThread {
  public:
    // Throws std::runtime_error "Thread creation error: ..." when no thread can be made.
    explicit TThread(const char* name);
    virtual ~TThread(); // derived destructors call WaitForEnd() first
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // The priority the thread runs at (best effort; see RaiseProcessPriority).
    void SetPriority(int priority) { thread_.SetPriority(priority); }
    void Resume() { thread_.Resume(); }
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

  protected:
    virtual void Execute() = 0;
    // Sets the stop request, lets a suspended thread run out, and joins it.
    void WaitForEnd();

  private:
    static void Start(void* self);
    void Run();

    const char* name_;
    std::atomic<bool> terminated_{false};
    PlatformThread thread_; // last: once resumed, it uses the members above
};

// Called by every TThread as it starts and as it ends: ends a pending event wait of the held
// port (the wake-up ClosePort relies on), as the loader's thread notices do on Windows.
// Defined with the library state (state.cpp), which knows the held port.
void WakeHeldPortEventWait();

} // namespace portline

#endif
