// Threads on Linux: a std::thread that starts at once and waits at a gate until it is
// resumed, then gives itself its nice value (on Linux setpriority with a thread id acts
// on that thread alone).
#include "platform_thread.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace portline {

struct PlatformThread::Impl {
    std::mutex gate;
    std::condition_variable resumed;
    bool running = false;
    std::optional<int> nice;
    std::thread thread;

    void Run(Entry entry, void* argument) {
        std::optional<int> niceValue;
        {
            std::unique_lock lock(gate);
            resumed.wait(lock, [this] { return running; });
            niceValue = nice;
        }
        if (niceValue) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), *niceValue);
        entry(argument);
    }
};

PlatformThread::PlatformThread(Entry entry, void* argument) : impl_(std::make_unique<Impl>()) {
    try {
        impl_->thread =
            std::thread([impl = impl_.get(), entry, argument] { impl->Run(entry, argument); });
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("Thread creation error: ") + e.what());
    }
}

PlatformThread::~PlatformThread() {
    Resume();
    Join();
}

void PlatformThread::SetPriority(int priority) {
    std::lock_guard lock(impl_->gate);
    impl_->nice = priority;
}

void PlatformThread::Resume() {
    {
        std::lock_guard lock(impl_->gate);
        impl_->running = true;
    }
    impl_->resumed.notify_one();
}

void PlatformThread::Join() {
    if (impl_->thread.joinable()) impl_->thread.join();
}

} // namespace portline
