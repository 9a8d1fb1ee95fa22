// The line parameter text ("9600,n,8,1" or "baud=9600 parity=N data=8 stop=1")
// applied to a platform-neutral record of the line settings.
#ifndef PORTLINE_LINE_PARAMS_H
#define PORTLINE_LINE_PARAMS_H

#include <cstdint>
#include <string_view>

namespace portline {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OnePointFive, Two };
// How the DTR line is driven: held off or on, or raised while the port can take input.
enum class DtrControl { Off, On, Handshake };
// How the RTS line is driven: held off or on, raised while the port can take input, or
// raised only while bytes go out (the direction switch of an RS-485 transceiver).
enum class RtsControl { Off, On, Handshake, Toggle };

// What a port's line is set to. Read from the port, changed by the text, applied again.
struct LineSettings {
    uint32_t baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8; // 5 to 8
    StopBits stopBits = StopBits::One;
    bool xonXoff = false;      // software flow control, both ways
    bool ctsOutFlow = false;   // output waits while CTS is off
    bool dsrOutFlow = false;   // output waits while DSR is off
    bool dsrSensitive = false; // input is taken only while DSR is on
    DtrControl dtr = DtrControl::On;
    RtsControl rts = RtsControl::On;

    bool operator==(const LineSettings&) const = default;
};

// Reads `text` into `settings` field by field, as the platform's own builder of line
// settings does. On a text it rejects it returns false, and the fields it had already
// set before the fault stay set (the caller applies them all the same). Whether a text
// is accepted depends on the text alone.
//
// Only what the text names changes, with two exceptions: a baud rate of 110 also sets
// two stop bits (a stop-bit field or key after it has the last word), and every
// handshake (XON/XOFF, CTS and DSR output flow, DTR and RTS handshake) is off unless
// the text turns it on; a handshake line turned off is left on.
//
// Accepted, with an optional leading "COMn:" and case-insensitive letters:
//   baud[,parity[,data[,stop[,x|p]]]]   empty fields keep their value; two-digit baud
//                                        abbreviations 11 15 30 60 12 24 48 96 19 as the
//                                        mode command has them; x: XON/XOFF, p: the
//                                        hardware handshake (CTS/DSR out, RTS/DTR in)
//   key=value ...                        baud= parity=n|e|o|m|s data=5..8 stop=1|1.5|2
//                                        xon=on|off octs=on|off odsr=on|off idsr=on|off
//                                        rts=on|off|hs|tg dtr=on|off|hs to=on|off;
//                                        a later key overrides an earlier one
bool ParseLineParams(std::string_view text, LineSettings& settings);

// Whether the platform's apply step takes the record: it refuses 5 data bits with 2 stop
// bits and 6 to 8 data bits with 1.5 stop bits, and then leaves the port as it was.
bool IsApplicable(const LineSettings& settings);

} // namespace portline

#endif
