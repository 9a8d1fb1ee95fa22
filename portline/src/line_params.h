// The line parameter text ("9600,n,8,1" or "baud=9600 parity=N data=8 stop=1")
// applied to a platform-neutral record of the line settings.
#ifndef PORTLINE_LINE_PARAMS_H
#define PORTLINE_LINE_PARAMS_H

#include <cstdint>
#include <string_view>

namespace portline {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OnePointFive, Two };

// What a port's line is set to. Read from the port, changed by the text, applied again.
struct LineSettings {
    uint32_t baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8; // 5 to 8
    StopBits stopBits = StopBits::One;
    bool xonXoff = false; // software flow control
    bool rtsCts = false;  // hardware flow control

    bool operator==(const LineSettings&) const = default;
};

// Applies `text` to `settings` field by field, as the platform's own builder of line
// settings does. On a text it rejects it returns false, and the fields it had already
// set before the fault stay set (the caller applies them all the same).
//
// Accepted, with an optional leading "COMn:" and case-insensitive letters:
//   baud[,parity[,data[,stop[,x|p]]]]   empty fields keep their value; two-digit baud
//                                        abbreviations 11 15 30 60 12 24 48 96 19 as the
//                                        mode command has them; x: XON/XOFF, p: RTS/CTS
//   key=value ...                        baud= parity=n|e|o|m|s data=5..8 stop=1|1.5|2
//                                        xon=on|off octs=on|off rts=on|off|hs|tg
//                                        dtr=on|off|hs odsr=on|off idsr=on|off to=on|off
bool ApplyLineParams(std::string_view text, LineSettings& settings);

} // namespace portline

#endif
