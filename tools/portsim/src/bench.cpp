#include "portsim/bench.h"

#include "frames.h"
#include "outbox.h"
#include "pseudo_terminal.h"
#include "responder.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace portsim {

namespace {

using std::chrono::milliseconds;

// How far ahead stream bytes are queued, and how many at most.
constexpr auto kStreamHorizon = milliseconds(20);
constexpr size_t kStreamQueued = 512;
// A stream that fell this far behind (the port did not take it) starts afresh.
constexpr auto kStreamCatchUp = milliseconds(100);
// Retry pause when the port's input queue is full or the line misbehaves.
constexpr auto kBlockedRetry = milliseconds(5);
// Upper bound of one wait, so that nothing can keep the worker asleep for good.
constexpr auto kLongestWait = milliseconds(500);
// Echo and answers waiting for a port that does not read are lost beyond this
// many bytes, as a receiver's overrun loses them, rather than filling memory.
constexpr size_t kMostQueued = 64 * 1024;

std::string Hex(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i) text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

timespec ToTimespec(Clock::duration d) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    if (ns < 0) ns = 0;
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

struct Bench::Impl {
    // Start, Stop and the fields they own (pty, link, worker) are serialised here.
    mutable std::mutex lifecycle;
    Pty pty;
    std::string linkPath;
    std::thread worker;
    std::atomic<bool> stopRequested{false};

    // Everything below is shared with the worker, under `mutex`.
    mutable std::mutex mutex;
    mutable std::condition_variable receivedChanged;
    bool running = false;
    int wakeFd = -1; // set before the worker starts, cleared after it has ended
    std::string devicePath;
    std::string error;
    Config config;
    Responder responder;
    FrameParser parser;
    Outbox outbox;
    Bytes received; // the last config.keepReceived bytes at most (twice that while trimming)
    size_t receivedCount = 0; // all bytes since the start or the last clear
    Clock::time_point started{};
    size_t streamPos = 0;
    Clock::time_point streamDue{};
    Clock::time_point inboundFree{}; // when the port's last byte has fully arrived (paced)

    void Apply(const Config& next) {
        config = next;
        responder.Configure(next);
        outbox.SetPace(next.paceBaud);
        outbox.DropStream();
        streamPos = 0;
        streamDue = Clock::now();
    }

    void Wake() const { // under `mutex`
        uint64_t one = 1;
        if (wakeFd >= 0 && ::write(wakeFd, &one, sizeof one) < 0) {
            // Only fails when the counter is saturated: the worker is awake anyway.
        }
    }

    void Trace(const std::string& what, Clock::time_point when) const { // under `mutex`
        if (!config.trace) return;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%11.6f ",
                      std::chrono::duration<double>(when - started).count());
        config.trace(stamp + what);
    }
    void Keep(uint8_t byte);

    void EndWorker() { // under `lifecycle`
        if (!worker.joinable()) return;
        stopRequested = true;
        {
            std::lock_guard lock(mutex);
            Wake();
        }
        worker.join();
    }

    void Run();
    void TakeInput(const uint8_t* bytes, size_t count, Clock::time_point now);
    void TopUpStream(Clock::time_point now);
};

void Bench::Impl::Keep(uint8_t byte) {
    ++receivedCount;
    size_t limit = config.keepReceived;
    if (limit == 0) return;
    received.push_back(byte);
    // Trimmed in steps, so that a long run costs no more than a short one per byte.
    if (received.size() > limit && received.size() - limit >= std::max<size_t>(limit, 4096))
        received.erase(received.begin(),
                       received.begin() + static_cast<std::ptrdiff_t>(received.size() - limit));
}

void Bench::Impl::TakeInput(const uint8_t* bytes, size_t count, Clock::time_point now) {
    Clock::duration byteTime = ByteTime(config.paceBaud);
    milliseconds delay(std::max(config.replyDelayMs, 0));
    for (size_t i = 0; i < count; ++i) {
        uint8_t byte = bytes[i];
        Keep(byte);
        // With a pace the byte is only complete once it has crossed the line.
        Clock::time_point arrived = now;
        if (byteTime != Clock::duration::zero())
            arrived = inboundFree = std::max(now, inboundFree) + byteTime;
        bool room = outbox.Size() < kMostQueued;
        if (config.echo && room) outbox.Add(std::span(&byte, 1), arrived + delay);
        std::optional<Frame> frame = parser.Push(byte);
        if (!frame) continue;
        if (config.trace) Trace("<- " + Hex(frame->bytes, kFrameSize), arrived);
        for (const Reply& reply : responder.Answer(*frame))
            if (room && !reply.bytes.empty())
                outbox.Add(reply.bytes, arrived + milliseconds(reply.delayMs));
        for (const std::string& note : responder.TakeNotes())
            Trace("   " + note, arrived);
    }
}

void Bench::Impl::TopUpStream(Clock::time_point now) {
    const Bytes& stream = config.stream;
    if (stream.empty()) return;
    bool rated = config.streamRate > 0;
    auto step = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(rated ? 1.0 / config.streamRate : 0.0));
    if (rated && streamDue + kStreamCatchUp < now) streamDue = now;
    while (outbox.Size() < kStreamQueued) {
        Clock::time_point earliest = rated ? streamDue : now;
        if (std::max(earliest, outbox.LastDue()) > now + kStreamHorizon) break;
        outbox.Add(std::span(&stream[streamPos], 1), earliest, Outbox::Source::Stream);
        streamPos = (streamPos + 1) % stream.size();
        if (rated) streamDue += step;
    }
}

void Bench::Impl::Run() {
    bool blocked = false;
    bool lineDown = false; // the master reports a hang-up: leave it out of the wait for a moment
    while (!stopRequested.load()) {
        Clock::duration wait = kLongestWait;
        {
            std::lock_guard lock(mutex);
            Clock::time_point now = Clock::now();
            TopUpStream(now);
            if (auto due = outbox.NextDue()) wait = std::min(wait, *due - now);
            if (blocked || lineDown) wait = std::max(wait, Clock::duration(kBlockedRetry));
        }
        pollfd fds[2] = {{wakeFd, POLLIN, 0}, {lineDown ? -1 : pty.master, POLLIN, 0}};
        timespec timeout = ToTimespec(wait);
        int ready = ::ppoll(fds, 2, &timeout, nullptr);
        if (ready < 0 && errno != EINTR) break;
        lineDown = false;
        if (fds[0].revents & POLLIN) {
            uint64_t count;
            if (::read(wakeFd, &count, sizeof count) < 0) {
                // Nothing to drain: another wake-up got there first.
            }
        }
        if (fds[1].revents & POLLIN) {
            uint8_t buf[4096];
            ssize_t n;
            while ((n = ::read(pty.master, buf, sizeof buf)) > 0) {
                std::lock_guard lock(mutex);
                TakeInput(buf, static_cast<size_t>(n), Clock::now());
                receivedChanged.notify_all();
            }
            if (n == 0 || (errno != EAGAIN && errno != EINTR)) lineDown = true;
        } else if (fds[1].revents & (POLLHUP | POLLERR)) {
            lineDown = true;
        }
        std::lock_guard lock(mutex);
        Clock::time_point now = Clock::now();
        TopUpStream(now);
        Bytes answers;
        Outbox::Flush flush = outbox.WriteDue(pty.master, now, config.trace ? &answers : nullptr);
        if (!answers.empty()) Trace("-> " + Hex(answers.data(), answers.size()), now);
        blocked = flush != Outbox::Flush::Done;
        // A write that fails outright (not a full queue) would fail forever:
        // what is due is dropped rather than retried.
        if (flush == Outbox::Flush::Failed) outbox.Clear();
    }
}

Bench::Bench(Config config) : impl_(new Impl) {
    impl_->Apply(config);
}

Bench::~Bench() {
    Stop();
    delete impl_;
}

bool Bench::Start(const std::string& linkPath) {
    std::lock_guard life(impl_->lifecycle);
    auto fail = [this](const std::string& message) {
        std::lock_guard lock(impl_->mutex);
        impl_->error = message;
        return false;
    };
    if (Running()) return fail("the bench is already running");
    Pty pty;
    std::string error;
    if (!OpenPty(pty, error)) return fail(error);
    if (!linkPath.empty() && !MakeLink(linkPath, pty.path, error)) {
        ClosePty(pty);
        return fail(error);
    }
    int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        if (!linkPath.empty()) RemoveLink(linkPath, pty.path);
        ClosePty(pty);
        return fail("eventfd failed");
    }
    impl_->pty = pty;
    impl_->linkPath = linkPath;
    impl_->stopRequested = false;
    {
        std::lock_guard lock(impl_->mutex);
        impl_->running = true;
        impl_->wakeFd = wakeFd;
        impl_->devicePath = pty.path;
        impl_->error.clear();
        impl_->received.clear();
        impl_->receivedCount = 0;
        impl_->started = Clock::now();
        impl_->parser.Reset();
        impl_->outbox.Clear();
        impl_->streamDue = Clock::now();
        impl_->streamPos = 0;
    }
    impl_->worker = std::thread([this] { impl_->Run(); });
    return true;
}

void Bench::Stop() {
    std::lock_guard life(impl_->lifecycle);
    impl_->EndWorker();
    int wakeFd;
    {
        std::lock_guard lock(impl_->mutex);
        if (!impl_->running) return;
        impl_->running = false;
        impl_->outbox.Clear();
        wakeFd = std::exchange(impl_->wakeFd, -1);
    }
    if (!impl_->linkPath.empty()) RemoveLink(impl_->linkPath, impl_->pty.path);
    ::close(wakeFd);
    ClosePty(impl_->pty);
    impl_->receivedChanged.notify_all();
}

void Bench::Pause() {
    std::lock_guard life(impl_->lifecycle);
    impl_->EndWorker();
}

void Bench::Resume() {
    std::lock_guard life(impl_->lifecycle);
    if (impl_->worker.joinable() || !Running()) return;
    impl_->stopRequested = false;
    impl_->worker = std::thread([this] { impl_->Run(); });
}

bool Bench::Running() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->running;
}

std::string Bench::DevicePath() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->devicePath;
}

std::string Bench::Error() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->error;
}

Bytes Bench::Received() const {
    std::lock_guard lock(impl_->mutex);
    const Bytes& all = impl_->received;
    size_t limit = impl_->config.keepReceived;
    if (all.size() <= limit) return all;
    return Bytes(all.end() - static_cast<std::ptrdiff_t>(limit), all.end());
}

void Bench::ClearReceived() {
    std::lock_guard lock(impl_->mutex);
    impl_->received.clear();
    impl_->receivedCount = 0;
}

bool Bench::WaitReceived(size_t count, int timeoutMs) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->receivedChanged.wait_for(lock, milliseconds(std::max(timeoutMs, 0)),
                                           [this, count] { return impl_->receivedCount >= count; });
}

void Bench::Send(const Bytes& bytes) {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->running) return;
    impl_->outbox.Add(bytes, Clock::now());
    impl_->Wake();
}

void Bench::Reconfigure(const Config& config) {
    std::lock_guard lock(impl_->mutex);
    impl_->Apply(config);
    impl_->Wake();
}

Config Bench::CurrentConfig() const {
    std::lock_guard lock(impl_->mutex);
    Config config = impl_->config;
    config.cells = impl_->responder.ConfiguredCells();
    return config;
}

std::vector<Cell> Bench::Cells() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->responder.Cells();
}

} // namespace portsim
