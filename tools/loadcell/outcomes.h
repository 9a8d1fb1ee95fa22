// What the results of the load-cell exchanges mean to the commands, and the exit
// status of each outcome. Plain decisions, reachable without a port.
#ifndef LOADCELL_OUTCOMES_H
#define LOADCELL_OUTCOMES_H

#include <cstdint>
#include <string>
#include <vector>

namespace loadcell {

// Exit statuses; each command's help and the manual page list the ones it gives.
// Those of the port and the command line come from sysexits.h; a stop signal gives
// 128 plus its number (130 Ctrl-C, 129 SIGHUP, 143 SIGTERM).
enum ExitStatus : int {
    kExitOk = 0,
    kExitNoAnswer = 1, // no cell answered, a reading failed, no reply to a send
    kExitLimits = 2,   // check: a cell is outside its limits
    kExitRefused = 3,  // assign: the guard found no proof of exactly one cell
    kExitWriteUnanswered = 4,
    kExitWriteOtherAddress = 5,
    kExitWriteNoAddress = 6,
    kExitNotAtNewAddress = 7,    // the write looked good but the cell does not answer there
    kExitCalibrationRefused = 8, // calibrate: unsteady readings, or a span that gives no factor
    kExitUsage = 64,             // EX_USAGE: bad arguments
    kExitBadData = 65,           // EX_DATAERR: a limits or calibration file unreadable or wrong,
                                 // or a cell without a calibration under --units
    kExitPortMissing = 66,       // EX_NOINPUT: no such port
    kExitPortUnusable = 69,      // EX_UNAVAILABLE: not a serial port, or it refused its setup
    kExitCannotWrite = 73,       // EX_CANTCREAT: standard output could not be written
    kExitPortLost = 74,          // EX_IOERR: the port went away during the run
    kExitPortBusy = 75,          // EX_TEMPFAIL: another program holds the port
    kExitNoPermission = 77,      // EX_NOPERM: the user may not open the port
    kExitSignalBase = 128,
};

// The library's exchange results beside its named ones (PORTLINE_CELL_...): silence,
// and bytes that came without a start byte.
constexpr int32_t kResultNoReply = 0;
constexpr int32_t kResultNoStartByte = -1;

// A read-address result names a cell when it is an address a cell can have.
bool IsCellAddress(int32_t result);
// Why a read-address result names no cell: "no reply", "a reply without a start byte"...
std::string WhyNoAddress(int32_t result);

// An A/D code is good when it lies in the 20 bits a cell reports; anything else is a
// reply that did not come or came cut short or garbled.
enum class Reading {
    Good,
    NoReply,
    Garbled,      // bytes that form no whole reply: cut short, mangled, or colliding
    Late,         // only the reply to the request before came (or a late write answer)
    WrongAddress, // only a reply naming another address came
    EchoOnly,     // only the adapter's echo of the request came
    Several,      // more than one reply named the address
};
Reading JudgeReading(int32_t result);
// "ok", "no reply", "garbled reply", "late", "wrong-address", "echo only", "several replies"
const char* ReadingText(Reading reading);

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
// `readBackWhy`, when given, says why the read-back named no address in place of the
// library result's meaning.
AssignReport JudgeAssign(int32_t written, int32_t readBack, int newAddress,
                         const std::string& readBackWhy = "");

// The refusal when more than one cell answered the scan.
std::string RefusalText(const std::vector<int>& found);
// "3", "3 and 7", "3, 7 and 9".
std::string AddressList(const std::vector<int>& addresses);

} // namespace loadcell

#endif
