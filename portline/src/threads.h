// The reader's threads: the TThread base and the two loops that run on it.
#ifndef PORTLINE_THREADS_H
#define PORTLINE_THREADS_H

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "priority.h"

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
    void SetPriority(int niceValue);
    void Resume();
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

  protected:
    virtual void Execute() = 0;
    // Sets the stop request, lets a suspended thread run out, and joins it.
    void WaitForEnd();

  private:
    void Run();

    const char* name_;
    std::mutex gate_;
    std::condition_variable resumed_;
    bool running_ = false;
    int nice_ = 0;
    bool hasNice_ = false;
    std::atomic<bool> terminated_{false};
    std::thread thread_;
};

// The polling reader: takes the published bytes while the caller's request stands.
class TFormThread final : public TThread {
  public:
    TFormThread() : TThread("TFormThread") {}
    ~TFormThread() override { WaitForEnd(); }

    // Waits until the reader has discarded what arrived before it started (or has
    // ended), so that no exchange made after the open loses its reply to that purge.
    void WaitUntilPurged();

  protected:
    void Execute() override;

  private:
    void MarkPurged();

    std::mutex purgeLock_;
    std::condition_variable purgedSignal_;
    bool purged_ = false;
};

// The port-event watcher: publishes how many bytes wait when a receive event comes.
class AXThread final : public TThread {
  public:
    AXThread() : TThread("AXThread") {}
    ~AXThread() override { WaitForEnd(); }

  protected:
    void Execute() override;
};

void Sleep(int milliseconds);

} // namespace portline

#endif
