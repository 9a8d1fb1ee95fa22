#include "threads.h"

#include "priority.h"
#include "state.h"

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

} // namespace portline
