// A pseudo-terminal pair for the library's tests: the test plays the device on the
// master side and hands the subordinate's path to OpenPort.
#ifndef PORTLINE_TESTS_PTY_DEVICE_H
#define PORTLINE_TESTS_PTY_DEVICE_H

#include <atomic>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ptytest {

class PtyDevice {
  public:
    PtyDevice() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        path_ = name;
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
    }
    ~PtyDevice() {
        StopEcho();
        Hangup();
        close(slave_);
    }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // The port name for OpenPort.
    const std::string& Path() const { return path_; }
    // A descriptor of the port's side, kept open to read back its settings and its queue.
    int Slave() const { return slave_; }

    // Sends bytes towards the port in one write.
    void Send(std::string_view bytes) {
        while (!bytes.empty()) {
            ssize_t n = write(master_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw std::runtime_error("device write failed");
            bytes.remove_prefix(static_cast<size_t>(n));
        }
    }

    // What the port sent, until `count` bytes came or `timeoutMs` passed.
    std::string Receive(size_t count, int timeoutMs) {
        std::string got;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buffer[512];
            ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
        return got;
    }

    // Bytes waiting at the port's side, not yet taken by anyone.
    int WaitingAtPort() const {
        int n = 0;
        ioctl(slave_, FIONREAD, &n);
        return n;
    }

    // Sends back every byte the port sends, from a thread of its own.
    void StartEcho() {
        echoing_ = true;
        echo_ = std::thread([this] {
            while (echoing_) {
                pollfd p{master_, POLLIN, 0};
                if (poll(&p, 1, 20) <= 0) continue;
                char buffer[512];
                ssize_t n = read(master_, buffer, sizeof buffer);
                if (n > 0) Send(std::string_view(buffer, static_cast<size_t>(n)));
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
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::atomic<bool> echoing_{false};
    std::thread echo_;
};

} // namespace ptytest

#endif
