// Threads on Windows: CreateThread suspended, the priority set on its handle, ResumeThread,
// and the owner's wait for its end. The thread first runs, and the loader's thread-attach
// notice comes, only when it is resumed.
#include "platform_thread.h"

#include <stdexcept>
#include <string>

#include <windows.h>

namespace portline {
namespace {

// The system's text for an error number, without its closing line break.
std::string SystemMessage(DWORD error) {
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 &&
           (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        --length;
    if (length == 0) return "error " + std::to_string(error);
    return std::string(text, length);
}

} // namespace

struct PlatformThread::Impl {
    Entry entry;
    void* argument;
    HANDLE handle = nullptr; // null once joined
    bool resumed = false;

    static DWORD WINAPI Start(LPVOID impl) {
        auto* self = static_cast<Impl*>(impl);
        self->entry(self->argument);
        return 0;
    }
};

PlatformThread::PlatformThread(Entry entry, void* argument)
    : impl_(std::make_unique<Impl>(Impl{entry, argument})) {
    DWORD id = 0;
    impl_->handle = CreateThread(nullptr, 0, &Impl::Start, impl_.get(), CREATE_SUSPENDED, &id);
    if (!impl_->handle)
        throw std::runtime_error("Thread creation error: " + SystemMessage(GetLastError()));
}

PlatformThread::~PlatformThread() {
    Resume();
    Join();
}

void PlatformThread::SetPriority(int priority) {
    if (impl_->handle) SetThreadPriority(impl_->handle, priority);
}

void PlatformThread::Resume() {
    if (!impl_->handle || impl_->resumed) return;
    impl_->resumed = true;
    ResumeThread(impl_->handle);
}

void PlatformThread::Join() {
    if (!impl_->handle) return;
    WaitForSingleObject(impl_->handle, INFINITE);
    CloseHandle(impl_->handle);
    impl_->handle = nullptr;
}

} // namespace portline
