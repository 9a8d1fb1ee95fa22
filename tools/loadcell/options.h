// The loadcell command line: which command, on which port, with what.
#ifndef LOADCELL_OPTIONS_H
#define LOADCELL_OPTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace loadcell {

enum class Command { None, Scan, Address, Assign, Read, Check, Calibrate, Send };
enum class Format { Text, Csv, Jsonl };
enum class CheckFormat { Table, Csv, Json };

// A cell's own address: the frame carries (address + 0x40) in one byte and a reply
// reports its address byte minus 64, so 191 is the highest address a cell can report.
constexpr int kLowestAddress = 1;
constexpr int kHighestAddress = 191;
// Address 0 asks whichever cell is on the line.
constexpr int kAnyAddress = 0;
// An A/D code is 20 bits.
constexpr int kHighestCode = 1048575;
// WriteSendData takes at most 255 bytes, up to the first zero byte.
constexpr size_t kMostSendBytes = 255;

struct Invocation {
    Command command = Command::None;
    bool help = false;    // --help: for the program, or for `command` when one was given
    bool version = false; // --version
    std::string port;
    std::string params = "9600,n,8,1";
    int from = kLowestAddress; // scan and assign: the addresses probed (assign: all of 1 to 191)
    int to = 12;
    int settleMs = 80;          // how long to listen for a reply to one request
    int retries = 0;            // read: further requests while a reading fails
    bool force = false;         // assign: write without proof of a single cell
    bool reconnect = false;     // read: wait for a lost port to come back
    int newAddress = 0;         // assign
    std::vector<int> addresses; // read, check, calibrate (one)
    int count = 1;              // read: rounds, unless following
    bool follow = false;
    int intervalMs = 1000; // read: from the start of one round to the next
    Format format = Format::Text;
    // check and calibrate
    int readings = 50;
    std::optional<long long> maxNoise; // peak to peak, counts
    std::optional<double> maxDrift;    // counts per minute
    std::optional<long long> maxFailures;
    std::string limitsPath;
    CheckFormat checkFormat = CheckFormat::Table;
    std::string readingsOut; // the readings in read's CSV
    std::string reportPath;  // the HTML record
    std::string operatorName;
    bool zero = false;                // calibrate --zero
    std::optional<double> spanWeight; // calibrate --span W
    std::string unit = "kg";
    bool units = false;           // read, check: weights instead of codes
    std::string calibrationPath;  // empty: the user's own file
    bool keepCalibration = false; // assign: leave the old address's calibration
    std::vector<uint8_t> bytes;   // send
};

// Reads the arguments (without the program name). `portFromEnvironment` is the port
// used when no --port is given (LOADCELL_PORT), or null. On failure `error` is one
// line of text, without the program's name.
bool ParseArguments(const std::vector<std::string>& args, const char* portFromEnvironment,
                    Invocation& invocation, std::string& error);

// "5" -> 5. Decimal, optionally signed, nothing else around it.
std::optional<long long> ParseInteger(const std::string& text);
// A finite decimal number, the whole text.
std::optional<double> ParseDecimal(const std::string& text);

const char* CommandName(Command command);

// "1 to 191": the addresses from `lowest` up to the highest, for messages.
std::string AddressRange(int lowest = kLowestAddress);

} // namespace loadcell

#endif
