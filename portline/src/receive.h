// The receive path: the two reader threads and the passes they run. The caller's side is
// ReadAllPort and ClearPort (library.h); what the threads and the caller share is the
// hand-over (hand_over.h).
#ifndef PORTLINE_RECEIVE_H
#define PORTLINE_RECEIVE_H

#include "threads.h"

#include <condition_variable>
#include <mutex>

namespace portline {

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

// One pass of TFormThread after its pauses, once it has found the request set: reads the
// published count of bytes and hands them over, unless a command withdrew the request.
void ReaderPass();
// One pass of AXThread after its pause: one event wait, then the publication.
void WatcherPass();

} // namespace portline

#endif
