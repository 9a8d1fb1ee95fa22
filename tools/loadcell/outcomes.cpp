#include "outcomes.h"

#include "options.h"
#include "portline.h"

namespace loadcell {
namespace {

std::string Number(int32_t value) {
    return std::to_string(value);
}

std::string WriteLine(Write write, int32_t written, int newAddress) {
    const std::string target = std::to_string(newAddress);
    switch (write) {
    case Write::Accepted:
        return "write " + target + ": the cell accepted the address";
    case Write::Confirmed:
        return "write " + target + ": the cell took the address and reports it";
    case Write::OtherAddress:
        return "write " + target + ": the cell answered with address " + Number(written);
    case Write::NoAddress:
        return "write " + target + ": the answer carried no address (result " + Number(written) +
               ")";
    case Write::Unanswered:
        break;
    }
    return "write " + target + ": no answer (result 0)";
}

} // namespace

bool IsCellAddress(int32_t result) {
    return result >= kLowestAddress && result <= kHighestAddress;
}

std::string WhyNoAddress(int32_t result) {
    if (result == kResultNoReply) return "no reply";
    if (result == kResultNoStartByte) return "a reply without a start byte";
    if (result == PORTLINE_CELL_NO_ADDRESS) return "a reply that ends with its start byte";
    return "a reply with no valid address (result " + Number(result) + ")";
}

Reading JudgeReading(int32_t result) {
    if (result == PORTLINE_CELL_NO_VALUE) return Reading::NoReply;
    if (result < 0 || result > kHighestCode) return Reading::Garbled;
    return Reading::Good;
}

const char* ReadingText(Reading reading) {
    switch (reading) {
    case Reading::Good:
        return "ok";
    case Reading::NoReply:
        return "no reply";
    case Reading::Late:
        return "late";
    case Reading::WrongAddress:
        return "wrong-address";
    case Reading::EchoOnly:
        return "echo only";
    case Reading::Several:
        return "several replies";
    case Reading::Garbled:
        break;
    }
    return "garbled reply";
}

Write JudgeWrite(int32_t result, int newAddress) {
    if (result == PORTLINE_CELL_WRITE_ACCEPTED) return Write::Accepted;
    if (result == kResultNoReply) return Write::Unanswered;
    if (!IsCellAddress(result)) return Write::NoAddress;
    return result == newAddress ? Write::Confirmed : Write::OtherAddress;
}

AssignReport JudgeAssign(int32_t written, int32_t readBack, int newAddress,
                         const std::string& readBackWhy) {
    AssignReport report;
    const Write write = JudgeWrite(written, newAddress);
    const std::string target = std::to_string(newAddress);
    const bool answers = readBack == newAddress;
    report.lines.push_back(WriteLine(write, written, newAddress));
    report.lines.push_back(answers ? "read-back: the cell answers at address " + target
                                   : "read-back: no cell answers at address " + target + " (" +
                                         (IsCellAddress(readBack)
                                              ? "address " + Number(readBack) + " answered"
                                          : readBackWhy.empty() ? WhyNoAddress(readBack)
                                                                : readBackWhy) +
                                         ")");
    switch (write) {
    case Write::Accepted:
    case Write::Confirmed:
        if (!answers) {
            report.status = kExitNotAtNewAddress;
            report.error = "the cell took address " + target +
                           " but does not answer there; check with 'loadcell address'";
        }
        break;
    case Write::OtherAddress:
        report.status = kExitWriteOtherAddress;
        report.error = "the cell reports address " + Number(written) + " instead of " + target;
        break;
    case Write::NoAddress:
        report.status = kExitWriteNoAddress;
        report.error = "the answer to the write was garbled (result " + Number(written) + ")";
        break;
    case Write::Unanswered:
        report.status = kExitWriteUnanswered;
        report.error = answers ? "the write got no answer, yet the cell answers at address " +
                                     target + ": its answer was lost"
                               : "the write got no answer; check the wiring and --params";
        break;
    }
    return report;
}

std::string AddressList(const std::vector<int>& addresses) {
    std::string text;
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (i > 0) text += i + 1 == addresses.size() ? " and " : ", ";
        text += std::to_string(addresses[i]);
    }
    return text;
}

std::string RefusalText(const std::vector<int>& found) {
    return "refused: " + std::to_string(found.size()) + " cells answer (at addresses " +
           AddressList(found) +
           "); the address write reaches every cell on the line, so connect only the one "
           "to be addressed";
}

} // namespace loadcell
