// The port's side of the bench's line, opened raw as the library would, and
// the library's reading of load-cell replies.
#ifndef PORTSIM_TESTS_PORT_SIDE_H
#define PORTSIM_TESTS_PORT_SIDE_H

#include "portsim/bench.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace portsim::testing {

using Clock = std::chrono::steady_clock;

inline int MsSince(Clock::time_point start) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class PortSide {
  public:
    explicit PortSide(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        ::tcsetattr(fd_, TCSANOW, &tio);
        ::tcflush(fd_, TCIOFLUSH);
    }
    ~PortSide() { Close(); }
    PortSide(const PortSide&) = delete;
    PortSide& operator=(const PortSide&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    bool Write(const Bytes& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until `count` bytes have come or `timeoutMs` has passed.
    Bytes ReadAtLeast(size_t count, int timeoutMs = 3000) {
        Bytes got;
        Clock::time_point start = Clock::now();
        while (got.size() < count) {
            int left = timeoutMs - MsSince(start);
            if (left <= 0 || !ReadSome(got, left)) break;
        }
        return got;
    }

    // Reads until the line has been quiet for `quietMs` (or `timeoutMs` in all).
    Bytes ReadUntilQuiet(int quietMs, int timeoutMs = 5000) {
        Bytes got;
        Clock::time_point start = Clock::now();
        while (MsSince(start) < timeoutMs && ReadSome(got, quietMs)) {
        }
        return got;
    }

    // Sends a frame and reads the reply of `replySize` bytes.
    Bytes Exchange(const Bytes& frame, size_t replySize) {
        if (!Write(frame)) return {};
        return ReadAtLeast(replySize);
    }

  private:
    // Waits up to `waitMs` for bytes and appends them; false when none came.
    bool ReadSome(Bytes& got, int waitMs) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, waitMs) <= 0 || !(pfd.revents & POLLIN)) return false;
        uint8_t buf[4096];
        ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) return false;
        got.insert(got.end(), buf, buf + n);
        return true;
    }

    int fd_ = -1;
};

// The library reads at most 12 bytes of a reply and decodes them like this.
inline Bytes FirstTwelve(const Bytes& reply) {
    return Bytes(reply.begin(), reply.begin() + std::min<size_t>(reply.size(), 12));
}

// Read-address: the byte after the first 02, minus 64; -1 without a 02; 0 for nothing.
inline int DecodeAddress(const Bytes& reply) {
    Bytes b = FirstTwelve(reply);
    if (b.empty()) return 0;
    b.push_back(0);
    for (size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0x02) return int(b[i + 1]) - 64;
    return -1;
}

// A/D code: five digits after the first 02 (+3), least significant first.
inline int DecodeCode(const Bytes& reply) {
    Bytes b = FirstTwelve(reply);
    b.resize(1000, 0);
    size_t count = std::min<size_t>(reply.size(), 12);
    for (size_t i = 0; i < count; ++i) {
        if (b[i] != 0x02) continue;
        int result = 0;
        for (int k = 0; k < 5; ++k)
            result += (int(b[i + 3 + k]) - 0x30) * (1 << (4 * k));
        return result;
    }
    return -65535;
}

// Set-address: 02 first accepts (20299); FF first carries the address in byte 2.
inline int DecodeWrite(const Bytes& reply) {
    Bytes b = FirstTwelve(reply);
    b.resize(3, 0);
    if (reply.empty()) return 0;
    if (b[0] == 0x02) return 20299;
    if (b[0] == 0xFF) return int(b[2]) - 64;
    return 0;
}

// A bench started with a configuration and the port's side of its line opened.
class BenchOnLine : public ::testing::Test {
  protected:
    void Run(const Config& config) {
        bench_ = std::make_unique<Bench>(config);
        ASSERT_TRUE(bench_->Start()) << bench_->Error();
        port_ = std::make_unique<PortSide>(bench_->DevicePath());
        ASSERT_TRUE(port_->IsOpen());
    }
    std::unique_ptr<Bench> bench_;
    std::unique_ptr<PortSide> port_;
};

} // namespace portsim::testing

#endif
