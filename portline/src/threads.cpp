#include "threads.h"

#include "priority.h"

namespace portline {

TThread::TThread(const char* name) : name_(name), thread_(&TThread::Start, this) {}

TThread::~TThread() {
    WaitForEnd();
}

void TThread::WaitForEnd() {
    Terminate();
    thread_.Resume(); // a thread still suspended runs out at once
    thread_.Join();
}

void TThread::Start(void* self) {
    static_cast<TThread*>(self)->Run();
}

void TThread::Run() {
    if (Terminated()) return; // destroyed before it was ever resumed
    SetCurrentThreadName(name_);
    WakeHeldPortEventWait();
    Execute();
    WakeHeldPortEventWait();
}

} // namespace portline
