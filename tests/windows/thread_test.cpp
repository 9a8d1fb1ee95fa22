// TThread on Windows, linked in from the library's own sources: the thread is made
// suspended, gets its priority while still suspended, runs (and the loader notices it)
// only once resumed, and its destructor ends it cleanly whether or not it ever ran.
#include "process_probe.h"
#include "thread_attach_probe.h"
#include "threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>

using namespace wintest;

namespace {

// What a test thread saw as it began, kept beyond the thread object's life.
struct Seen {
    HANDLE began = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> runs{0};
    int priority = THREAD_PRIORITY_ERROR_RETURN;
    bool attachNoticed = false;

    ~Seen() { CloseHandle(began); }
    bool WaitUntilBegun() const { return WaitForSingleObject(began, 10000) == WAIT_OBJECT_0; }
};

class ProbeThread final : public portline::TThread {
  public:
    explicit ProbeThread(Seen& seen) : TThread("ProbeThread"), seen_(seen) {}
    ~ProbeThread() override { WaitForEnd(); }

  protected:
    void Execute() override {
        seen_.priority = GetThreadPriority(GetCurrentThread());
        seen_.attachNoticed = ThreadAttachNoticed(GetCurrentThreadId());
        seen_.runs.fetch_add(1);
        SetEvent(seen_.began);
        while (!Terminated())
            ::Sleep(5);
    }

  private:
    Seen& seen_;
};

// The one thread that is in the process now and was not in `before`; 0 when not exactly one.
DWORD OnlyNewThread(const std::set<DWORD>& before) {
    DWORD found = 0;
    int count = 0;
    for (DWORD id : ThreadIds()) {
        if (!before.count(id)) {
            found = id;
            ++count;
        }
    }
    return count == 1 ? found : 0;
}

// The thread's suspend count, left as it was.
DWORD SuspendCount(DWORD id) {
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
    if (!thread) return static_cast<DWORD>(-1);
    const DWORD previous = SuspendThread(thread);
    ResumeThread(thread);
    CloseHandle(thread);
    return previous;
}

int PriorityOf(DWORD id) {
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!thread) return THREAD_PRIORITY_ERROR_RETURN;
    const int priority = GetThreadPriority(thread);
    CloseHandle(thread);
    return priority;
}

TEST(TThread, IsMadeSuspendedAndFirstRunsWhenResumed) {
    Seen seen;
    const std::set<DWORD> before = ThreadIds();
    ProbeThread thread(seen);
    const DWORD id = OnlyNewThread(before);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(SuspendCount(id), 1u) << "the thread was not made suspended";
    EXPECT_FALSE(ThreadAttachNoticed(id)) << "the loader saw the thread start before its resume";
    EXPECT_EQ(seen.runs.load(), 0);

    thread.Resume();
    ASSERT_TRUE(seen.WaitUntilBegun());
    EXPECT_TRUE(seen.attachNoticed);
    EXPECT_EQ(SuspendCount(id), 0u);
    thread.Resume(); // a second resume changes nothing
    EXPECT_EQ(SuspendCount(id), 0u);
}

TEST(TThread, GetsItsPriorityWhileSuspendedAndRunsAtIt) {
    for (int priority : {THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL}) {
        Seen seen;
        const std::set<DWORD> before = ThreadIds();
        ProbeThread thread(seen);
        const DWORD id = OnlyNewThread(before);
        ASSERT_NE(id, 0u);
        // Made at another priority, so that setting the wanted one is seen to act.
        thread.SetPriority(THREAD_PRIORITY_LOWEST);
        EXPECT_EQ(PriorityOf(id), THREAD_PRIORITY_LOWEST);
        thread.SetPriority(priority);
        EXPECT_EQ(PriorityOf(id), priority) << "not set on the suspended thread";
        EXPECT_EQ(seen.runs.load(), 0);
        thread.Resume();
        ASSERT_TRUE(seen.WaitUntilBegun());
        EXPECT_EQ(seen.priority, priority);
    }
}

TEST(TThread, ADestructorEndsAThreadThatNeverRanAndLeavesNothingBehind) {
    Seen seen;
    { ProbeThread warmUp(seen); } // the system's own first-use allocations are not the thread's
    const std::set<DWORD> threads = ThreadIds();
    const DWORD handles = HandleCount();
    for (int i = 0; i < 20; ++i) {
        ProbeThread thread(seen);
        thread.SetPriority(THREAD_PRIORITY_NORMAL);
    }
    EXPECT_EQ(seen.runs.load(), 0) << "a thread destroyed before its resume ran its loop";
    EXPECT_TRUE(SettlesBackTo(threads, handles))
        << ThreadIds().size() << " threads (" << threads.size() << " before), " << HandleCount()
        << " handles (" << handles << " before)";
}

TEST(TThread, ADestructorEndsARunningThreadAndLeavesNothingBehind) {
    {
        Seen seen;
        ProbeThread warmUp(seen);
        warmUp.Resume();
        ASSERT_TRUE(seen.WaitUntilBegun());
    }
    const std::set<DWORD> threads = ThreadIds();
    const DWORD handles = HandleCount();
    for (int i = 0; i < 20; ++i) {
        Seen seen;
        ProbeThread thread(seen);
        thread.Resume();
        ASSERT_TRUE(seen.WaitUntilBegun());
    }
    EXPECT_TRUE(SettlesBackTo(threads, handles))
        << ThreadIds().size() << " threads (" << threads.size() << " before), " << HandleCount()
        << " handles (" << handles << " before)";
}

} // namespace
