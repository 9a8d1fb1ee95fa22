#include "usage.h"

namespace loadcell {
namespace {

const char* const kPortOptions = R"(
Port (every command)
  --port NAME        the serial port: an absolute device path (/dev/ttyUSB0),
                     COMn for /dev/ttyS(n-1), or a name under /dev (ttyUSB0);
                     without --port, the environment variable LOADCELL_PORT
  --params TEXT      line parameters (default "9600,n,8,1"), checked first
  -h, --help         show this help and exit
  -V, --version      show the version and exit
)";

const char* const kReplies = R"(
Replies: only a whole reply counts (start byte, address, status, five digits,
sum, end byte). Detected and said: an echo of the request (a two-wire RS-485
adapter), read through to the reply behind it and never taken for a cell; a
reply naming another address than the one asked (late or wrong-address); a
garbled reply (cut short, mangled, or two cells at once); a lost port.
  --settle MS        listen up to MS for a reply (default 80, one window)
)";

const char* const kProgram = R"(Usage: loadcell COMMAND [OPTION]... [ARGUMENT]...
Commissions the maker's digital load cells on a serial line: finds them, gives
a cell its address, logs A/D codes, or makes one raw exchange.

Commands
  scan               list the addresses that answer (default 1 to 12)
  address            read the address of the one cell on the line
  assign NEW         give the one cell on the line the address NEW, safely
  read ADDR...       read A/D codes of one or more cells, with a summary
  check ADDR...      judge each cell's noise, drift and settling against limits
  calibrate ADDR     take a cell's zero (no load) or span (a known weight)
  send HEX...        send bytes once and print the reply in hexadecimal

'loadcell COMMAND --help' explains a command. Cell addresses are 1 to 191: a
frame carries the address plus 0x40 in one byte, and a reply reports at most
191.
)";

const char* const kExit = R"(
Exit status
  0    done                       66   the port is missing
  1    no answer                  69   not a serial port, or refused its setup
  2    check: a cell failed       73   output or a file could not be written
  3    assign: guard refused      74   the port was lost during the run
  4-7  assign: write outcomes     75   the port is busy
  8    calibrate: refused         77   permission denied (group dialout)
  64   usage error                65   bad limits or calibration file, or a
                                       cell without a calibration (--units)
  129, 130, 143  stopped by SIGHUP, Ctrl-C (SIGINT), SIGTERM: 128 + signal
)";

// The statuses every command that opens the port shares.
const char* const kPortExit =
    R"(  64   usage error; 66 port missing; 69 port unusable; 73 output not
       written; 74 port lost; 75 port busy; 77 permission denied
  129, 130, 143  stopped by SIGHUP, SIGINT (Ctrl-C), SIGTERM
)";

const char* const kScan = R"(Usage: loadcell scan [--from A] [--to B] [--settle MS] --port NAME
Probes each address from A to B (default 1 to 12, any of 1 to 191) with a
read request and prints every address that answers, one a line. A reply is
counted for the address it names, so a reply too late for its own probe still
counts for its cell; a garbled reply is reported on standard error and not
counted, and an echo is said once and never counted.
While it runs, a progress bar is drawn on standard error when that is a
terminal. Each probe takes 80 ms.
)";
const char* const kScanExit = R"(
Exit status
  0    at least one cell answered
  1    none did
)";

const char* const kAddress = R"(Usage: loadcell address [--settle MS] --port NAME
Asks whichever cell is on the line (address 0) for its address and prints it.
With more than one cell on the line their answers collide (said so); use scan
instead.
)";
const char* const kAddressExit = R"(
Exit status
  0    an address was read
  1    no cell reported one (no reply, only an echo, garbled, several cells)
)";

const char* const kAssign =
    R"(Usage: loadcell assign NEW [--from A] [--to B] [--force] [--settle MS]
                     [--retries N] --port NAME
Gives the cell on the line the address NEW (1 to 191). The address write
reaches every cell on the line, so it writes only with proof of exactly one
cell: its guard asks address 0 (where two cells collide), every address from
A to B (default all of 1 to 191; narrow them only on purpose) and NEW, and
refuses when it finds no cell, more than one, garbled replies, or only an
echo. The full guard takes about 16 s, with a progress bar on a terminal.
  --force            write all the same, and say so
  --keep-calibration leave a calibration under the old address (by default
                     it moves with the cell to NEW)
  --calibration FILE the calibration file (default
                     $XDG_CONFIG_HOME/PortBench/loadcell-calibration.ini)
It waits for a late answer to the write, then reads the address NEW back and
says whether the cell answers there.
)";
const char* const kAssignExit = R"(
Exit status
  0    the cell accepted NEW (or reported NEW back) and answers at NEW
  3    refused by the guard (what it saw is said); nothing written
  4    the write got no answer
  5    the cell answered the write with another address
  6    the cell's answer to the write carried no address (garbled)
  7    the write was answered as taken, but the cell does not answer at NEW
)";

const char* const kRead = R"(Usage: loadcell read ADDR... [--count N | --follow] [--interval MS]
                     [--format text|csv|jsonl] [--settle MS] [--retries N]
                     [--reconnect] [--units [--calibration FILE]] --port NAME
Reads the A/D code of each cell ADDR (1 to 191; 0 asks whichever cell is on
the line), in rounds: one reading of every cell a round.
  --count N          N rounds (default 1)
  --follow           rounds until Ctrl-C, SIGTERM or SIGHUP
  --interval MS      from the start of one round to the next (default 1000),
                     on a steady clock: rounds keep to their times
  --format FORMAT    text (default), csv (with a header line) or jsonl
  --retries N        ask again up to N times while a reading fails
  --reconnect        when the port goes away, wait for it and go on
  --units            weights from each cell's calibration instead of codes,
                     the unit naming the CSV column and the JSON key (the
                     summary stays in codes); a cell without one is an error
Each reading is one line on standard output: an ISO 8601 time stamp, the
address and the code. A failed reading is written with its reason (no reply,
garbled reply, late, wrong-address, echo only, several replies), never as a
code. A lost port is a line "port lost: ..."; with --reconnect, "port back"
follows when it returns.
At the end, or when stopped, a summary per cell goes to standard error in the
same format: readings, failed readings, minimum, maximum, mean, standard
deviation and drift (last reading minus first).
)";
const char* const kReadExit = R"(
Exit status
  0    every reading succeeded
  1    at least one failed
)";

const char* const kCheck =
    R"(Usage: loadcell check ADDR... [--readings N] [--interval MS] [--max-noise C]
                     [--max-drift C] [--max-failures N] [--limits FILE]
                     [--format table|csv|json] [--readings-out FILE]
                     [--report FILE.html] [--operator NAME] [--units] --port NAME
Reads each cell ADDR (1 to 191) N times, one reading of every cell a round,
then gives per cell: readings, failed readings, mean, standard deviation,
noise (peak to peak, counts), drift (least-squares slope, counts per minute),
the time to settle into the settled band (the later half's mean plus or
minus three times its noise, from successive differences), and PASS or FAIL
with the reasons.
  --readings N       readings of each cell (default 50)
  --interval MS      from the start of one round to the next (default 100)
  --max-noise C      most peak-to-peak noise, counts
  --max-drift C      most drift, counts per minute either way
  --max-failures N   most failed readings (default 0)
  --limits FILE      limits from an INI file: [limits] for every cell,
                     [cell ADDR] for one, keys max-noise, max-drift,
                     max-failures; the options above override it
  --format FORMAT    the verdicts as table (default), csv or json
  --readings-out F   every reading to F, in read's CSV
  --report F.html    one self-contained HTML record (plots, figures,
                     verdicts, the run's facts) that prints on A4
  --operator NAME    who ran the check, for the record
  --units            figures in each cell's unit (limits stay in counts)
A progress bar is drawn on standard error when that is a terminal. Ctrl-C
ends the run with the partial record written, and says so.
)";
const char* const kCheckExit = R"(
Exit status
  0    every cell passed
  2    at least one cell failed its limits (or gave no good reading)
  65   the limits or calibration file is wrong, or a cell has no calibration
)";

const char* const kCalibrate =
    R"(Usage: loadcell calibrate ADDR (--zero | --span W [--unit U]) [--readings N]
                     [--interval MS] [--max-noise C] [--calibration FILE]
                     --port NAME
Takes the mean of N readings (default 50) of the cell ADDR as its zero code
(--zero: no load on the cell) or its span code (--span W: the known weight W
on it, in unit U, default kg). Refused, with nothing written, when a reading
fails, when the readings are not steady (noise above --max-noise, default 20
counts peak to peak), when a span comes before a zero, or when the span code
is no different from the zero code. After the span it tells the factor
(units per count) and its uncertainty from the noise of both means.
The calibrations are kept per address, with their dates and codes, in
$XDG_CONFIG_HOME/PortBench/loadcell-calibration.ini (~/.config without it),
written whole or not at all; --calibration FILE names another.
)";
const char* const kCalibrateExit = R"(
Exit status
  0    the zero or span is kept
  8    refused (said why); nothing written
  65   the calibration file is wrong
)";

const char* const kSend = R"(Usage: loadcell send HEX... --port NAME
Sends the bytes once and prints what came back within 80 ms in hexadecimal.
Bytes are groups of one or two hexadecimal digits, or runs of digit pairs,
separated by blanks or commas: "02 52 44 53 41 2A 0D", 2,52,44 or 025244.
At most 255 bytes, none of them 00 (the text to send ends at a zero byte); a
reply ends at its first 00 byte.
)";
const char* const kSendExit = R"(
Exit status
  0    a reply came
  1    none did
)";

} // namespace

std::string HelpText(Command command) {
    std::string text;
    switch (command) {
    case Command::Scan:
        return std::string(kScan) + kPortOptions + kReplies + kScanExit + kPortExit;
    case Command::Address:
        return std::string(kAddress) + kPortOptions + kReplies + kAddressExit + kPortExit;
    case Command::Assign:
        return std::string(kAssign) + kPortOptions + kReplies + kAssignExit + kPortExit;
    case Command::Read:
        return std::string(kRead) + kPortOptions + kReplies + kReadExit + kPortExit;
    case Command::Check:
        return std::string(kCheck) + kPortOptions + kReplies + kCheckExit + kPortExit;
    case Command::Calibrate:
        return std::string(kCalibrate) + kPortOptions + kReplies + kCalibrateExit + kPortExit;
    case Command::Send:
        return std::string(kSend) + kPortOptions + kSendExit + kPortExit;
    case Command::None:
        break;
    }
    return std::string(kProgram) + kPortOptions + kReplies + kExit +
           "\nExample\n  loadcell scan --port /dev/ttyUSB0\n"
           "  loadcell assign 5 --port /dev/ttyUSB0\n"
           "  loadcell read 5 --count 10 --interval 500 --port /dev/ttyUSB0\n"
           "  loadcell check 1 2 3 --max-noise 20 --report cells.html --port /dev/ttyUSB0\n"
           "  loadcell calibrate 5 --zero --port /dev/ttyUSB0\n"
           "  loadcell calibrate 5 --span 10 --unit kg --port /dev/ttyUSB0\n"
           "  loadcell read 5 --units --port /dev/ttyUSB0\n";
}

} // namespace loadcell
