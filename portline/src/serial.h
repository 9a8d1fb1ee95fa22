// The platform serial layer: what the library needs from one open port. Each platform
// gives one implementation (serial_posix.cpp on termios); the library logic sees only this.
#ifndef PORTLINE_SERIAL_H
#define PORTLINE_SERIAL_H

#include "line_params.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace portline {

// The receive event of a port event wait.
constexpr uint32_t EvRxChar = 0x0001;

enum class ModemLine { Dtr, Rts };

class SerialPort {
  public:
    virtual ~SerialPort() = default; // releases the port (nothing is put back here)

    // Sets the line from a line parameter text ("9600,n,8,1") as the platform reads such a
    // text. A text the platform rejects is not an error the caller sees.
    virtual void Configure(std::string_view text) = 0;
    // Puts back what the port had before it was opened.
    virtual void RestoreSaved() = 0;

    // Discards waiting input. False when the platform call failed.
    virtual bool PurgeInput() = 0;
    // Abandons unsent output, any pending read, and discards waiting input.
    virtual bool PurgeAll() = 0;
    // Takes at most `max` waiting bytes; never waits. Returns how many it took.
    virtual size_t Read(uint8_t* buffer, size_t max) = 0;
    // Starts sending; does not wait for the bytes to go out. The bytes are copied.
    virtual void Write(const uint8_t* bytes, size_t count) = 0;

    virtual void SetModemLine(ModemLine line, bool on) = 0;

    // Ends a pending event wait at once with an empty set; made while no wait is pending,
    // it ends the next wait at once. (Windows does so by setting the port's event mask.)
    virtual void WakeEventWait() = 0;
    // Waits until bytes arrive (EvRxChar) or the wait is woken (0). `inQueue` receives the
    // input count sampled as the wait starts. Bytes delivered together count as
    // arriving one after another: the first ends the wait, the rest stand as an
    // event recorded for the next wait. An arrival while no wait is pending is recorded
    // in the same way.
    virtual uint32_t WaitEvent(uint32_t& inQueue) = 0;
};

// The device path a port name stands for on this platform.
std::string DevicePath(const std::string& name);

// Opens the port exclusively (no other open of it, from any process, succeeds while it
// is held), saves its settings and puts it in raw mode, reads returning at once.
// Null when the port is missing, is no serial device, or is in use.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& name);

// How modem lines are switched. A pseudo-terminal has no modem lines, so tests put a
// recording double here; an empty function puts the platform's own switch back.
using ModemLineSwitch = std::function<void(ModemLine line, bool on)>;
void SetModemLineSwitch(ModemLineSwitch lineSwitch);

// How the kernel's RS-485 mode (RTS raised only while bytes go out) is switched on Linux,
// where "rts=tg" maps onto it; the Windows line settings record carries that mode itself.
// A pseudo-terminal has no such mode, so tests put a recording double here, which returns
// whether the port took the change; an empty function puts the platform's own back.
using Rs485Switch = std::function<bool(bool on)>;
void SetRs485Switch(Rs485Switch rs485Switch);

} // namespace portline

#endif
