#include "usage.h"

namespace loadcell {
namespace {

const char* const kPortOptions = R"(
Port (every command)
  --port NAME        the serial port: an absolute device path (/dev/ttyUSB0),
                     COMn for /dev/ttyS(n-1), or a name under /dev (ttyUSB0);
                     without --port, the environment variable LOADCELL_PORT
  --params TEXT      line parameters (default "9600,n,8,1")
  -h, --help         show this help and exit
)";

const char* const kProgram = R"(Usage: loadcell COMMAND [OPTION]... [ARGUMENT]...
Commissions the maker's digital load cells on a serial line: finds them, gives
a cell its address, logs A/D codes, or makes one raw exchange.

Commands
  scan               list the addresses that answer (default 1 to 12)
  address            read the address of the one cell on the line
  assign NEW         give the one cell on the line the address NEW, safely
  read ADDR...       read A/D codes of one or more cells, with a summary
  send HEX...        send bytes once and print the reply in hexadecimal

'loadcell COMMAND --help' explains a command. Cell addresses are 1 to 191: a
frame carries the address plus 0x40 in one byte, and a reply reports at most
191.
)";

const char* const kExit = R"(
Exit status: 0 done; 1 no answer (see above); 2 bad arguments or a port that
cannot be opened; 130 interrupted by Ctrl-C (scan and assign).
)";

const char* const kScan = R"(Usage: loadcell scan [--from A] [--to B] --port NAME
Probes each address from A to B (default 1 to 12, any of 1 to 191) with the
read-address exchange and prints every address that answers, one a line. A
reply is counted for the address it reports, so a reply too late for its own
probe still counts for its cell; a reply without a valid address is reported
on standard error and not counted.
While it runs, a progress bar is drawn on standard error when that is a
terminal. Each probe takes 50 ms.
)";
const char* const kScanExit = R"(
Exit status: 0 at least one cell answered; 1 none did; 2 bad arguments or a
port that cannot be opened; 130 interrupted.
)";

const char* const kAddress = R"(Usage: loadcell address --port NAME
Asks whichever cell is on the line (address 0) for its address and prints it.
With more than one cell on the line their answers collide; use scan instead.
)";
const char* const kAddressExit = R"(
Exit status: 0 an address was read; 1 no cell reported one; 2 bad arguments or
a port that cannot be opened.
)";

const char* const kAssign = R"(Usage: loadcell assign NEW [--from A] [--to B] --port NAME
Gives the cell on the line the address NEW (1 to 191). The address write
reaches every cell on the line, so it first scans A to B (default 1 to 12),
and NEW when that lies outside, and refuses when more than one cell answers.
With one cell, or none (a new cell may answer at no address in the range), it
writes NEW, then reads the address NEW back and says whether the cell answers
there.
)";
const char* const kAssignExit = R"(
Exit status
  0    the cell accepted NEW (or reported NEW back) and answers at NEW
  2    bad arguments, or a port that cannot be opened
  3    refused: more than one cell answered the scan; nothing written
  4    the write got no answer
  5    the cell answered the write with another address
  6    the cell's answer to the write carried no address (garbled)
  7    the write was answered as taken, but the cell does not answer at NEW
  130  interrupted before the write; nothing written
)";

const char* const kRead = R"(Usage: loadcell read ADDR... [--count N | --follow] [--interval MS]
                     [--format text|csv|jsonl] --port NAME
Reads the A/D code of each cell ADDR (1 to 191; 0 asks whichever cell is on
the line), in rounds: one reading of every cell a round.
  --count N          N rounds (default 1)
  --follow           rounds until Ctrl-C
  --interval MS      from the start of one round to the next (default 1000)
  --format FORMAT    text (default), csv (with a header line) or jsonl
Each reading is one line on standard output: an ISO 8601 time stamp, the
address and the code. A failed reading (no reply, or a reply whose code is
not in 0 to 1048575) is written as failed, with its reason, never as a code.
At the end, or on Ctrl-C, a summary per cell goes to standard error in the
same format: readings, failed readings, minimum, maximum, mean, standard
deviation and drift (last reading minus first).
)";
const char* const kReadExit = R"(
Exit status: 0 every reading succeeded; 1 at least one failed; 2 bad
arguments or a port that cannot be opened. Ctrl-C ends the run normally.
)";

const char* const kSend = R"(Usage: loadcell send HEX... --port NAME
Sends the bytes once and prints what came back within 80 ms in hexadecimal.
Bytes are groups of one or two hexadecimal digits, or runs of pairs:
"02 52 44 53 41 2A 0D", 02,52,44 or 0252445341 2A0D. At most 255 bytes, none
of them 00 (the text to send ends at a zero byte); a reply ends at its first
00 byte.
)";
const char* const kSendExit = R"(
Exit status: 0 a reply came; 1 none did; 2 bad arguments or a port that
cannot be opened.
)";

} // namespace

std::string HelpText(Command command) {
    std::string text;
    switch (command) {
    case Command::Scan:
        return std::string(kScan) + kPortOptions + kScanExit;
    case Command::Address:
        return std::string(kAddress) + kPortOptions + kAddressExit;
    case Command::Assign:
        return std::string(kAssign) + kPortOptions + kAssignExit;
    case Command::Read:
        return std::string(kRead) + kPortOptions + kReadExit;
    case Command::Send:
        return std::string(kSend) + kPortOptions + kSendExit;
    case Command::None:
        break;
    }
    return std::string(kProgram) + kPortOptions + kExit +
           "\nExample\n  loadcell scan --port /dev/ttyUSB0\n"
           "  loadcell assign 5 --port /dev/ttyUSB0\n"
           "  loadcell read 5 --count 10 --interval 500 --port /dev/ttyUSB0\n";
}

} // namespace loadcell
