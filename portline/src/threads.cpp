#include "threads.h"

#include "receive.h"
#include "state.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <dirent.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace portline {

TThread::TThread(const char* name) : name_(name) {
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("Thread creation error: ") + e.what());
    }
}

TThread::~TThread() {
    if (thread_.joinable()) WaitForEnd();
}

void TThread::SetPriority(int niceValue) {
    std::lock_guard lock(gate_);
    nice_ = niceValue;
    hasNice_ = true;
}

void TThread::Resume() {
    {
        std::lock_guard lock(gate_);
        running_ = true;
    }
    resumed_.notify_one();
}

void TThread::WaitForEnd() {
    Terminate();
    Resume(); // a thread still suspended runs out at once
    if (thread_.joinable()) thread_.join();
}

void TThread::Run() {
    int niceValue;
    bool hasNice;
    {
        std::unique_lock lock(gate_);
        resumed_.wait(lock, [this] { return running_; });
        niceValue = nice_;
        hasNice = hasNice_;
    }
    if (Terminated()) return; // destroyed before it was ever resumed
    pthread_setname_np(pthread_self(), name_);
    if (hasNice) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), niceValue);
    ThreadStartedOrEnded();
    Execute();
    ThreadStartedOrEnded();
}

void TFormThread::Execute() {
    // Whatever arrived before the reader started is not handed on.
    if (SerialPort* port = Lib.PortHandle) port->PurgeAll();
    MarkPurged();
    while (!Terminated()) {
        Sleep(100);
        if (!Lib.ReadRequest.load()) continue;
        Sleep(50);
        ReaderPass();
    }
}

void TFormThread::MarkPurged() {
    {
        std::lock_guard lock(purgeLock_);
        purged_ = true;
    }
    purgedSignal_.notify_all();
}

void TFormThread::WaitUntilPurged() {
    std::unique_lock lock(purgeLock_);
    // Bounded, so that a thread the system never schedules cannot hang the open.
    purgedSignal_.wait_for(lock, std::chrono::seconds(2), [this] { return purged_; });
}

void AXThread::Execute() {
    if (SerialPort* port = Lib.PortHandle) port->SetEventMask();
    while (!Terminated()) {
        Sleep(30);
        WatcherPass();
    }
}

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

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace portline
