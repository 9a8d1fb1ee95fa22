// Pseudo-terminals for the tests and the benchmarks. `PtyDevice` opens a pair and plays
// the device on the master side, handing the subordinate's path to the program under
// test; `PtyEnd` is one open descriptor of a terminal, with the reads and writes a test
// needs, each bound by a generous deadline. `PtyEnd::AsPort` opens a device path as the
// library opens its port; `PtyEnd::Probe` opens it only to look at its settings and queue.
#ifndef PORTBENCH_TESTS_COMMON_PTY_DEVICE_H
#define PORTBENCH_TESTS_COMMON_PTY_DEVICE_H

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ptytest {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

inline int MsSince(Clock::time_point start) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class PtyEnd {
  public:
    explicit PtyEnd(int fd = -1) : fd_(fd) {}
    ~PtyEnd() { Close(); }
    PtyEnd(PtyEnd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    PtyEnd& operator=(PtyEnd&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    PtyEnd(const PtyEnd&) = delete;
    PtyEnd& operator=(const PtyEnd&) = delete;

    // `path` opened as the library opens a port: raw, 9600 baud, queues emptied.
    static PtyEnd AsPort(const std::string& path) {
        PtyEnd end = Probe(path);
        if (!end.IsOpen()) return end;
        termios tio{};
        ::tcgetattr(end.fd_, &tio);
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        ::tcsetattr(end.fd_, TCSANOW, &tio);
        ::tcflush(end.fd_, TCIOFLUSH);
        return end;
    }
    // `path` opened without changing anything, to read back its settings and its queue.
    static PtyEnd Probe(const std::string& path) {
        return PtyEnd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    }

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    // Writes every byte; false when the terminal refuses some.
    bool Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return true;
    }
    bool Write(const Bytes& bytes) {
        return Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    // Reads until `count` bytes have come or `timeoutMs` has passed.
    Bytes ReadAtLeast(size_t count, int timeoutMs = 3000) {
        return ReadAtLeastInto<Bytes>(count, timeoutMs);
    }
    std::string ReadTextAtLeast(size_t count, int timeoutMs) {
        return ReadAtLeastInto<std::string>(count, timeoutMs);
    }

    // Reads until the line has been quiet for `quietMs` (or `timeoutMs` in all).
    Bytes ReadUntilQuiet(int quietMs, int timeoutMs = 5000) {
        Bytes got;
        const Clock::time_point start = Clock::now();
        while (MsSince(start) < timeoutMs && ReadSome(got, quietMs)) {
        }
        return got;
    }

    // Writes a request and reads the reply of `replySize` bytes.
    Bytes Exchange(const Bytes& request, size_t replySize) {
        if (!Write(request)) return {};
        return ReadAtLeast(replySize);
    }

    // Bytes waiting in this end's input queue, not yet taken by anyone; -1 on failure.
    int Waiting() const {
        int count = 0;
        return ::ioctl(fd_, FIONREAD, &count) == 0 ? count : -1;
    }
    speed_t OutputSpeed() const {
        termios settings{};
        ::tcgetattr(fd_, &settings);
        return ::cfgetospeed(&settings);
    }

  private:
    template <typename Buffer> Buffer ReadAtLeastInto(size_t count, int timeoutMs) {
        Buffer got;
        const Clock::time_point start = Clock::now();
        while (got.size() < count) {
            const int left = timeoutMs - MsSince(start);
            if (left <= 0 || !ReadSome(got, left)) break;
        }
        return got;
    }

    // Waits up to `waitMs` for bytes and appends them; false when none came.
    template <typename Buffer> bool ReadSome(Buffer& got, int waitMs) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, waitMs) <= 0 || !(pfd.revents & POLLIN)) return false;
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) return false;
        got.insert(got.end(), buffer, buffer + n);
        return true;
    }

    int fd_ = -1;
};

// A pseudo-terminal pair: the test plays the device on the master side. The
// subordinate stays open too, to read back the port's settings and its queue.
class PtyDevice {
  public:
    PtyDevice() {
        int master = -1, slave = -1;
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        master_ = PtyEnd(master);
        slave_ = PtyEnd(slave);
        path_ = name;
        termios t{};
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
    }
    ~PtyDevice() { Hangup(); }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // The port name for OpenPort.
    const std::string& Path() const { return path_; }
    // A descriptor of the port's side, kept open to read back its settings and its queue.
    int Slave() const { return slave_.Fd(); }

    // Sends bytes towards the port.
    void Send(std::string_view bytes) {
        if (!master_.Write(bytes)) throw std::runtime_error("device write failed");
    }

    // What the port sent, until `count` bytes came or `timeoutMs` passed.
    std::string Receive(size_t count, int timeoutMs) {
        return master_.ReadTextAtLeast(count, timeoutMs);
    }

    // A steady stream towards the port for `duration`: every `everyMs` the device sends
    // what a line carrying `bytesPerSecond` would have carried since the start, the
    // bytes 1 to 255 over and over. Returns everything sent.
    std::string SendSteadyStream(double bytesPerSecond, std::chrono::milliseconds duration,
                                 int everyMs) {
        std::string sent;
        const auto start = Clock::now();
        size_t next = 0;
        for (auto now = start; now - start < duration; now = Clock::now()) {
            const double elapsed = std::chrono::duration<double>(now - start).count();
            const auto due = static_cast<size_t>(elapsed * bytesPerSecond);
            std::string chunk;
            for (; next < due; ++next)
                chunk += static_cast<char>(next % 255 + 1);
            if (!chunk.empty()) Send(chunk);
            sent += chunk;
            std::this_thread::sleep_for(std::chrono::milliseconds(everyMs));
        }
        return sent;
    }

    // Bytes waiting at the port's side, not yet taken by anyone.
    int WaitingAtPort() const { return slave_.Waiting(); }

    // Sends back every byte the port sends, from a thread of its own.
    void StartEcho() {
        echoing_ = true;
        echo_ = std::thread([this] {
            while (echoing_) {
                std::string got = master_.ReadTextAtLeast(1, 20);
                if (!got.empty()) Send(got);
            }
        });
    }
    void StopEcho() {
        echoing_ = false;
        if (echo_.joinable()) echo_.join();
    }

    // The device goes away, as a USB adapter being pulled.
    void Hangup() {
        StopEcho();
        master_.Close();
    }

  private:
    PtyEnd master_;
    PtyEnd slave_;
    std::string path_;
    std::atomic<bool> echoing_{false};
    std::thread echo_;
};

} // namespace ptytest

#endif
