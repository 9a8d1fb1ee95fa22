// What the results of the load-cell exchanges mean to the commands, and the exit
// status of each outcome. Plain decisions, reachable without a port.
#ifndef LOADCELL_OUTCOMES_H
#define LOADCELL_OUTCOMES_H

#include <cstdint>
#include <string>
#include <vector>

namespace loadcell {

// Exit statuses; each command's help and the manual page list the ones it gives.
enum ExitStatus : int {
    kExitOk = 0,
    kExitNoAnswer = 1, // no cell answered, a reading failed, no reply to a send
    kExitBadInput = 2, // bad arguments, or a port that cannot be opened
    kExitRefused = 3,  // assign: more than one cell on the line
    kExitWriteUnanswered = 4,
    kExitWriteOtherAddress = 5,
    kExitWriteNoAddress = 6,
    kExitNotAtNewAddress = 7, // the write looked good but the cell does not answer there
    kExitInterrupted = 130,   // a scan or assign stopped by Ctrl-C (128 + SIGINT)
};

// A read-address result names a cell when it is an address a cell can have.
bool IsCellAddress(int32_t result);
// Why a read-address result names no cell: "no reply", "a reply without a start byte"...
std::string WhyNoAddress(int32_t result);

// An A/D code is good when it lies in the 20 bits a cell reports; anything else is a
// reply that did not come or came cut short or garbled.
enum class Reading { Good, NoReply, Garbled };
Reading JudgeReading(int32_t result);
const char* ReadingText(Reading reading); // "ok", "no reply", "garbled reply"

// The rows of the address write's result table, with the address form split by what
// it reports.
enum class Write {
    Accepted,     // 02 first: the cell took the address
    Confirmed,    // FF form naming the new address
    OtherAddress, // FF form naming another address
    NoAddress,    // FF form with no address a cell can have
    Unanswered,   // nothing, or nothing that answers a write (result 0)
};
Write JudgeWrite(int32_t result, int newAddress);

struct AssignReport {
    int status = kExitOk;
    std::vector<std::string> lines; // for standard output
    std::string error;              // for standard error, empty on success
};
// The write's result `written`, then the read-back at `newAddress` (`readBack`).
AssignReport JudgeAssign(int32_t written, int32_t readBack, int newAddress);

// The refusal when more than one cell answered the scan.
std::string RefusalText(const std::vector<int>& found);
// "3", "3 and 7", "3, 7 and 9".
std::string AddressList(const std::vector<int>& addresses);

} // namespace loadcell

#endif
