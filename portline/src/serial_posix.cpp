// The serial layer on Linux termios. The whole termios record is read and written with
// TCGETS2/TCSETS2 so that any baud rate the kernel accepts can be set and every
// setting the port had is put back exactly.
#include "serial.h"
#include "termios2.h"

#include <cctype>
#include <cerrno>
#include <mutex>
#include <utility>

#include <fcntl.h>
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

LineSettings Decode(const termios2& t) {
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
    s.rtsCts = (t.c_cflag & CRTSCTS) != 0;
    return s;
}

std::mutex g_switchLock;
ModemLineSwitch g_modemLineSwitch;

class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort(int fd, int epoll, int wake, const termios2& saved)
        : fd_(fd), epoll_(epoll), wake_(wake), saved_(saved) {}

    ~PosixSerialPort() override {
        ioctl(fd_, TIOCNXCL);
        close(epoll_);
        close(wake_);
        close(fd_); // also drops the advisory lock
    }

    void ApplyLineParameters(std::string_view text) override {
        LineSettings settings = GetLineSettings();
        // A text the parser rejects still applies what it had set before the fault.
        ApplyLineParams(text, settings);
        SetLineSettings(settings);
    }

    void RestoreSaved() override { ioctl(fd_, TCSETS2, &saved_); }

    bool PurgeInput() override { return tcflush(fd_, TCIFLUSH) == 0; }

  private:
    LineSettings GetLineSettings() {
        termios2 t{};
        ioctl(fd_, TCGETS2, &t);
        return Decode(t);
    }

    // Changes only what differs from the port's current settings, so that a setting the
    // text left alone stays exactly as the port has it.
    void SetLineSettings(const LineSettings& s) {
        termios2 t{};
        if (ioctl(fd_, TCGETS2, &t) != 0) return;
        const LineSettings current = Decode(t);
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
            t.c_cflag |= s.dataBits == 5   ? CS5
                         : s.dataBits == 6 ? CS6
                         : s.dataBits == 7 ? CS7
                                           : CS8;
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
        if (s.rtsCts != current.rtsCts) {
            if (s.rtsCts)
                t.c_cflag |= CRTSCTS;
            else
                t.c_cflag &= ~CRTSCTS;
        }
        ioctl(fd_, TCSETS2, &t);
    }

  public:
    bool PurgeAll() override { return tcflush(fd_, TCIOFLUSH) == 0; }
    void AbortRead() override {} // reads never wait here

    uint32_t InputCount() override {
        int n = 0;
        if (ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
        return static_cast<uint32_t>(n);
    }

    size_t Read(uint8_t* buffer, size_t max) override {
        if (max == 0) return 0;
        ssize_t n = read(fd_, buffer, max);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }

    void Write(const uint8_t* bytes, size_t count) override {
        if (count == 0) return;
        // O_NONBLOCK: the bytes are copied into the tty's queue and go out from there.
        [[maybe_unused]] ssize_t written = write(fd_, bytes, count);
    }

    void SetModemLine(ModemLine line, bool on) override {
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

    void SetEventMask() override {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
    }

    uint32_t WaitEvent(uint32_t& inQueue) override {
        inQueue = InputCount();
        bool rx = std::exchange(recorded_, false);
        bool woken = false;
        Collect(0, rx, woken); // events recorded while no wait was pending
        if (!rx && !woken) Collect(-1, rx, woken);
        if (!rx) return 0;
        // Two or more bytes came together: the first ended this wait, the rest stand
        // as an event for the next one, as they would one after another on a line.
        if (InputCount() >= inQueue + 2) recorded_ = true;
        return EvRxChar;
    }

  private:
    void Collect(int timeoutMs, bool& rx, bool& woken) {
        epoll_event events[2];
        int n;
        do
            n = epoll_wait(epoll_, events, 2, timeoutMs);
        while (n < 0 && errno == EINTR);
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd == wake_) {
                uint64_t count;
                [[maybe_unused]] ssize_t drained = read(wake_, &count, sizeof count);
                woken = true;
            } else if (!(events[i].events & (EPOLLHUP | EPOLLERR)) &&
                       (events[i].events & EPOLLIN)) {
                rx = true; // a hung-up device counts as no event
            }
        }
    }

    const int fd_;
    const int epoll_;
    const int wake_;
    const termios2 saved_;
    bool recorded_ = false; // touched only by the event watcher
};

bool IsComName(const std::string& name) {
    if (name.size() < 4 || name.size() > 12) return false;
    for (size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return false;
    for (size_t i = 3; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return name.find_first_not_of('0', 3) != std::string::npos; // COM0 names no port
}

bool AddWatch(int epoll, int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLET;
    ev.data.fd = fd;
    return epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &ev) == 0;
}

} // namespace

std::string DevicePath(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    if (IsComName(name)) return "/dev/ttyS" + std::to_string(std::stoul(name.substr(3)) - 1);
    return "/dev/" + name;
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

} // namespace portline
