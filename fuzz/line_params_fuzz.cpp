// The line parameter parser on any text: it accepts or rejects by the text alone, leaves a
// valid record either way, a second application of the same text changes nothing more,
// and the text in capitals reads the same.
#include "fuzz_check.h"
#include "line_params.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace portline;

namespace {

bool IsValid(const LineSettings& s) {
    const bool parity = s.parity == Parity::None || s.parity == Parity::Odd ||
                        s.parity == Parity::Even || s.parity == Parity::Mark ||
                        s.parity == Parity::Space;
    const bool stop = s.stopBits == StopBits::One || s.stopBits == StopBits::OnePointFive ||
                      s.stopBits == StopBits::Two;
    const bool dtr =
        s.dtr == DtrControl::Off || s.dtr == DtrControl::On || s.dtr == DtrControl::Handshake;
    const bool rts = s.rts == RtsControl::Off || s.rts == RtsControl::On ||
                     s.rts == RtsControl::Handshake || s.rts == RtsControl::Toggle;
    return s.baud > 0 && s.dataBits >= 5 && s.dataBits <= 8 && parity && stop && dtr && rts;
}

// Records a port may hold before the text is applied: every member away from its default
// in one of them.
LineSettings Start(int which) {
    LineSettings s;
    if (which == 1) {
        s.baud = 1200;
        s.parity = Parity::Even;
        s.dataBits = 7;
        s.stopBits = StopBits::Two;
        s.xonXoff = s.ctsOutFlow = s.dsrOutFlow = s.dsrSensitive = true;
        s.dtr = DtrControl::Handshake;
        s.rts = RtsControl::Handshake;
    } else if (which == 2) {
        s.baud = 110;
        s.parity = Parity::Mark;
        s.dataBits = 5;
        s.stopBits = StopBits::OnePointFive;
        s.dtr = DtrControl::Off;
        s.rts = RtsControl::Toggle;
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Keys, values and the port prefix are read without regard to letter case.
    std::string upperText(text);
    for (char& c : upperText)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    bool firstVerdict = false;
    for (int which = 0; which < 3; ++which) {
        LineSettings s = Start(which);
        const bool accepted = ParseLineParams(text, s);
        if (which == 0) firstVerdict = accepted;
        FUZZ_CHECK(accepted == firstVerdict, "the verdict depends on the starting record");
        FUZZ_CHECK(IsValid(s), "the parser left an invalid record");

        LineSettings again = s;
        FUZZ_CHECK(ParseLineParams(text, again) == accepted, "a second application judged anew");
        FUZZ_CHECK(again == s, "a second application of the same text changed the record");

        LineSettings upper = Start(which);
        FUZZ_CHECK(ParseLineParams(upperText, upper) == accepted,
                   "letter case changed the verdict");
        FUZZ_CHECK(upper == s, "letter case changed what the text set");
    }
    return 0;
}
