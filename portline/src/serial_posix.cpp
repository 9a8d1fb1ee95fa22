// The serial layer on Linux termios. The whole termios record is read and written with
// TCGETS2/TCSETS2 so that any baud rate the kernel accepts can be set and every
// setting the port had is put back exactly.
#include "com_name.h"
#include "serial.h"
#include "termios2.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace portline {
namespace {

constexpr tcflag_t kBother = 0010000;            // speed given in c_ospeed
constexpr tcflag_t kInputBaudMask = CBAUD << 16; // zero: input speed follows output

struct BaudCode {
    uint32_t rate;
    tcflag_t code;
};
constexpr BaudCode kBaudCodes[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

// What a termios record cannot hold: how the modem lines are driven, and the DSR handshakes,
// which Linux has no counterpart for.
struct LineControls {
    DtrControl dtr = DtrControl::On;
    RtsControl rts = RtsControl::On;
    bool dsrOutFlow = false;
    bool dsrSensitive = false;
};

LineSettings Decode(const termios2& t, const LineControls& controls) {
    LineSettings s;
    s.baud = t.c_ospeed;
    if (!(t.c_cflag & PARENB))
        s.parity = Parity::None;
    else if (t.c_cflag & CMSPAR)
        s.parity = (t.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
    else
        s.parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        s.dataBits = 5;
        break;
    case CS6:
        s.dataBits = 6;
        break;
    case CS7:
        s.dataBits = 7;
        break;
    default:
        s.dataBits = 8;
        break;
    }
    // Two stop bits with 5-bit characters are 1.5 on the line.
    if (!(t.c_cflag & CSTOPB))
        s.stopBits = StopBits::One;
    else
        s.stopBits = s.dataBits == 5 ? StopBits::OnePointFive : StopBits::Two;
    s.xonXoff = (t.c_iflag & IXON) != 0;
    s.ctsOutFlow = (t.c_cflag & CRTSCTS) != 0;
    s.dsrOutFlow = controls.dsrOutFlow;
    s.dsrSensitive = controls.dsrSensitive;
    s.dtr = controls.dtr;
    s.rts = controls.rts;
    return s;
}

// Writes into `t` what differs between the two records; false when nothing did.
bool EncodeChanges(const LineSettings& s, const LineSettings& current, termios2& t) {
    const termios2 before = t;
    if (s.baud != current.baud) {
        t.c_cflag &= ~(CBAUD | kInputBaudMask);
        t.c_cflag |= kBother;
        for (const BaudCode& b : kBaudCodes)
            if (b.rate == s.baud) t.c_cflag = (t.c_cflag & ~kBother) | b.code;
        t.c_ispeed = t.c_ospeed = s.baud;
    }
    if (s.parity != current.parity) {
        t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
        switch (s.parity) {
        case Parity::None:
            break;
        case Parity::Even:
            t.c_cflag |= PARENB;
            break;
        case Parity::Odd:
            t.c_cflag |= PARENB | PARODD;
            break;
        case Parity::Mark:
            t.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            t.c_cflag |= PARENB | CMSPAR;
            break;
        }
    }
    if (s.dataBits != current.dataBits) {
        t.c_cflag &= ~CSIZE;
        t.c_cflag |= s.dataBits == 5 ? CS5 : s.dataBits == 6 ? CS6 : s.dataBits == 7 ? CS7 : CS8;
    }
    if (s.stopBits != current.stopBits) {
        if (s.stopBits == StopBits::One)
            t.c_cflag &= ~CSTOPB;
        else
            t.c_cflag |= CSTOPB;
    }
    if (s.xonXoff != current.xonXoff) {
        if (s.xonXoff)
            t.c_iflag |= IXON | IXOFF;
        else
            t.c_iflag &= ~(IXON | IXOFF);
    }
    // CRTSCTS is the only CTS handshake Linux has, and it holds output while CTS is low:
    // only the output handshake asks for it, never the RTS (input) handshake alone.
    if (s.ctsOutFlow != current.ctsOutFlow) {
        if (s.ctsOutFlow)
            t.c_cflag |= CRTSCTS;
        else
            t.c_cflag &= ~CRTSCTS;
    }
    return std::memcmp(&before, &t, sizeof t) != 0;
}

// Whether a line is high: a handshake raises it while the port can take input.
bool IsRaised(DtrControl c) {
    return c != DtrControl::Off;
}
bool IsRaised(RtsControl c) {
    return c != RtsControl::Off;
}

std::mutex g_switchLock;
ModemLineSwitch g_modemLineSwitch;
Rs485Switch g_rs485Switch;

class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort(int fd, int epoll, int wake, const termios2& saved)
        : fd_(fd), epoll_(epoll), wake_(wake), saved_(saved) {
        savedRs485Valid_ = ioctl(fd_, TIOCGRS485, &savedRs485_) == 0;
        int bits = 0;
        const bool lines = ioctl(fd_, TIOCMGET, &bits) == 0; // none on a pseudo-terminal
        controls_.dtr = !lines || (bits & TIOCM_DTR) ? DtrControl::On : DtrControl::Off;
        if (saved_.c_cflag & CRTSCTS)
            controls_.rts = RtsControl::Handshake;
        else if (savedRs485Valid_ && (savedRs485_.flags & SER_RS485_ENABLED))
            controls_.rts = RtsControl::Toggle;
        else
            controls_.rts = !lines || (bits & TIOCM_RTS) ? RtsControl::On : RtsControl::Off;
    }

    ~PosixSerialPort() override {
        ioctl(fd_, TIOCNXCL);
        close(epoll_);
        close(wake_);
        close(fd_); // also drops the advisory lock
    }

    // The record is taken whole or not at all, as the platform's apply step does: a
    // combination it refuses, or one the kernel refuses (a rate the driver cannot make),
    // leaves every setting as it was. Only what changed is written.
    void Configure(std::string_view text) override {
        termios2 t{};
        if (ioctl(fd_, TCGETS2, &t) != 0) return;
        const LineSettings current = Decode(t, controls_);
        LineSettings wanted = current;
        // A text the parser rejects still applies what it had set before the fault.
        ParseLineParams(text, wanted);
        if (!IsApplicable(wanted) || wanted == current) return;
        if (EncodeChanges(wanted, current, t) && ioctl(fd_, TCSETS2, &t) != 0) return;
        controls_.dsrOutFlow = wanted.dsrOutFlow;
        controls_.dsrSensitive = wanted.dsrSensitive;
        DriveDtr(wanted.dtr);
        DriveRts(wanted.rts);
    }

    void RestoreSaved() override {
        ioctl(fd_, TCSETS2, &saved_);
        if (rs485Changed_) {
            std::lock_guard lock(g_switchLock);
            if (g_rs485Switch)
                g_rs485Switch(savedRs485Valid_ && (savedRs485_.flags & SER_RS485_ENABLED));
            else if (savedRs485Valid_)
                ioctl(fd_, TIOCSRS485, &savedRs485_);
        }
    }

    bool PurgeInput() override { return Purge(TCIFLUSH); }
    bool PurgeAll() override { return Purge(TCIOFLUSH); }

    size_t Read(uint8_t* buffer, size_t max) override {
        if (max == 0) return 0;
        std::lock_guard lock(takenLock_);
        ssize_t n = read(fd_, buffer, max);
        if (n <= 0) return 0;
        taken_ += static_cast<uint64_t>(n);
        return static_cast<size_t>(n);
    }

    void Write(const uint8_t* bytes, size_t count) override {
        if (count == 0) return;
        // O_NONBLOCK: the bytes are copied into the tty's queue and go out from there.
        [[maybe_unused]] ssize_t written = write(fd_, bytes, count);
    }

    // As on the platform's line settings record: the line is held on or off from now on,
    // which also ends a handshake or the RS-485 mode on it.
    void SetModemLine(ModemLine line, bool on) override {
        if (line == ModemLine::Dtr) {
            controls_.dtr = on ? DtrControl::On : DtrControl::Off;
        } else {
            if (controls_.rts == RtsControl::Toggle) SwitchRs485(false);
            controls_.rts = on ? RtsControl::On : RtsControl::Off;
        }
        SwitchLine(line, on);
    }

    // The wake-up eventfd is in the wait's poll set.
    void WakeEventWait() override {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
    }

    // The tty wakes its readers for more than arrivals (a change of its settings does so
    // too), so the poll set only says that something may have happened: an arrival is
    // counted only when the bytes that ever reached the queue grew.
    uint32_t WaitEvent(uint32_t& inQueue) override {
        inQueue = InputCount();
        bool woken = Collect(0); // a wake-up given while no wait was pending
        for (;;) {
            if (TakeArrival()) return EvRxChar;
            if (woken) return 0;
            woken = Collect(-1);
        }
    }

  private:
    // Bytes waiting in the input queue.
    uint32_t InputCount() {
        int n = 0;
        if (ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
        return static_cast<uint32_t>(n);
    }

    void SwitchLine(ModemLine line, bool on) {
        {
            std::lock_guard lock(g_switchLock);
            if (g_modemLineSwitch) {
                g_modemLineSwitch(line, on);
                return;
            }
        }
        int bits = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
        ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
    }

    // True when the port took the change (a driver without RS-485 mode does not).
    bool SwitchRs485(bool on) {
        std::lock_guard lock(g_switchLock);
        bool done;
        if (g_rs485Switch) {
            done = g_rs485Switch(on);
        } else {
            serial_rs485 rs485{};
            done = ioctl(fd_, TIOCGRS485, &rs485) == 0;
            if (done) {
                if (on) {
                    rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
                    rs485.flags &= ~SER_RS485_RTS_AFTER_SEND;
                } else {
                    rs485.flags &= ~SER_RS485_ENABLED;
                }
                done = ioctl(fd_, TIOCSRS485, &rs485) == 0;
            }
        }
        rs485Changed_ = rs485Changed_ || done;
        return done;
    }

    void DriveDtr(DtrControl wanted) {
        if (IsRaised(wanted) != IsRaised(controls_.dtr))
            SwitchLine(ModemLine::Dtr, IsRaised(wanted));
        controls_.dtr = wanted;
    }

    void DriveRts(RtsControl wanted) {
        const RtsControl was = controls_.rts;
        if (wanted == was) return;
        if (wanted == RtsControl::Toggle) {
            // Without the kernel's RS-485 mode nothing changes.
            if (SwitchRs485(true)) controls_.rts = RtsControl::Toggle;
            return;
        }
        if (was == RtsControl::Toggle) SwitchRs485(false);
        if (was == RtsControl::Toggle || IsRaised(wanted) != IsRaised(was))
            SwitchLine(ModemLine::Rts, IsRaised(wanted));
        controls_.rts = wanted;
    }

    bool Purge(int queues) {
        std::lock_guard lock(takenLock_);
        const uint32_t waiting = InputCount();
        const bool done = tcflush(fd_, queues) == 0;
        if (done) taken_ += waiting;
        return done;
    }

    // Every byte that reached the input queue since the open: what waits there and what
    // this layer took out of it, by reads and purges.
    uint64_t Arrived() {
        std::lock_guard lock(takenLock_);
        return taken_ + InputCount();
    }

    // Bytes that came together count as arriving one after another: the first ends this
    // wait, the rest stand as an event for the next one.
    bool TakeArrival() {
        const uint64_t now = Arrived();
        if (now <= seen_) return false;
        seen_ = now - seen_ >= 2 ? now - 1 : now;
        return true;
    }

    // Waits for the poll set; true when the wake-up was given.
    bool Collect(int timeoutMs) {
        epoll_event events[2];
        int n;
        do
            n = epoll_wait(epoll_, events, 2, timeoutMs);
        while (n < 0 && errno == EINTR);
        bool woken = false;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd != wake_) continue;
            uint64_t count;
            [[maybe_unused]] ssize_t drained = read(wake_, &count, sizeof count);
            woken = true;
        }
        return woken;
    }

    const int fd_;
    const int epoll_;
    const int wake_;
    const termios2 saved_;
    serial_rs485 savedRs485_{};
    bool savedRs485Valid_ = false;
    bool rs485Changed_ = false;
    LineControls controls_; // the caller's thread only

    std::mutex takenLock_;
    uint64_t taken_ = 0; // under takenLock_
    uint64_t seen_ = 0;  // arrivals accounted for; the event watcher only
};

bool AddWatch(int epoll, int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLET;
    ev.data.fd = fd;
    return epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &ev) == 0;
}

} // namespace

std::string DevicePath(const std::string& name) {
    return ComNameDevice(name);
}

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& name) {
    int fd = open(DevicePath(name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    termios2 saved{};
    // The advisory lock keeps out every other open, root's included (TIOCEXCL does not).
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TCGETS2, &saved) != 0) {
        close(fd);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);

    termios2 raw = saved;
    raw.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    raw.c_oflag &= ~OPOST;
    raw.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag |= CLOCAL | CREAD;
    raw.c_cc[VMIN] = 0; // a read returns at once with what is waiting
    raw.c_cc[VTIME] = 0;
    ioctl(fd, TCSETS2, &raw);

    int epoll = epoll_create1(EPOLL_CLOEXEC);
    int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll < 0 || wake < 0 || !AddWatch(epoll, fd) || !AddWatch(epoll, wake)) {
        if (epoll >= 0) close(epoll);
        if (wake >= 0) close(wake);
        ioctl(fd, TCSETS2, &saved);
        ioctl(fd, TIOCNXCL);
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixSerialPort>(fd, epoll, wake, saved);
}

void SetModemLineSwitch(ModemLineSwitch lineSwitch) {
    std::lock_guard lock(g_switchLock);
    g_modemLineSwitch = std::move(lineSwitch);
}

void SetRs485Switch(Rs485Switch rs485Switch) {
    std::lock_guard lock(g_switchLock);
    g_rs485Switch = std::move(rs485Switch);
}

} // namespace portline
