#include "threads.h"

#include "receive.h"
#include "state.h"

#include <chrono>
#include <stdexcept>
#include <string>

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
    SetCurrentThreadName(name_);
    if (hasNice) SetCurrentThreadPriority(niceValue);
    ThreadStartedOrEnded();
    Execute();
    ThreadStartedOrEnded();
}

void TFormThread::Execute() {
    {
        // Whatever arrived before the reader started is not handed on. A command made
        // while the reader was still starting keeps its exchange whole: the purge waits.
        std::lock_guard io(Lib.PortIoLock);
        if (SerialPort* port = Lib.PortHandle) port->PurgeAll();
    }
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

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace portline
