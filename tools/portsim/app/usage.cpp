#include "options.h"

namespace portsim {

std::string UsageText() {
    return R"(Usage: portsim [OPTION]...
Plays the far end of a serial line on a pseudo-terminal: digital load cells,
an echo, or a stream of bytes. Prints the device path (e.g. /dev/pts/5) as the
one line of its stdout and runs until SIGINT (Ctrl+C), SIGTERM or SIGHUP.
Scripts: DEV=$(portsim --background --pidfile FILE) returns once the device is
ready, portsim playing on. When stdout is a pipe whose reader goes away after
the line, as in DEV=$(portsim | head -n 1), portsim goes on in the background
(a process of its own, its id in the --pidfile), so that the pipeline ends.
Stdout that is a file or a terminal is let go (to /dev/null) after the line.

Line
  --link PATH          also make a symbolic link PATH to the device (a link
                       left there by a portsim that ended is replaced; one a
                       running portsim holds is refused, status 75; the link
                       is removed at exit)
  --background         play in a process of its own: the program prints the
                       device path once it is ready and ends (status 0)
  --pidfile FILE       write the id of the process that plays to FILE (before
                       the device path is printed); removed at exit
  --hangup-after S     the device goes away after S seconds (0.5 allowed): the
                       pseudo-terminal is closed, so the port sees a hang-up
                       and EIO, the link and the pidfile are removed, and
                       portsim ends with status 0
  --trace              each request frame and each answer on stderr, in hex,
                       with the seconds since the start:
                         0.012345 <- 02 52 44 53 41 2A 0D
                         0.012401 -> 02 41 30 35 34 33 32 31 70 0D
  --baud N             send every byte at the speed of N baud, 8N1 (10 bits a
                       byte); requests also take that long to arrive
                       (default: no pacing, bytes go at once)

Load cells (without --cell, --echo or --stream: one cell at address 1)
  --cell ADDR[:CODE][:late=MS][:silent][:garble][:noise=N][:ramp=N]
                       a cell at address ADDR (1..191) reporting the A/D code
                       CODE (0..1048575, default 74565; 0x.. for hex). Repeat
                       for more cells. A cell answers the read frame
                       02 52 44 53 (ADDR+40) sum 0D and the one for address 0
                       with 02 (ADDR+40) 30 and CODE as five digits 30..3F,
                       least significant first, then a checksum and 0D.
                       Faults of this cell alone, e.g. --cell 2:1000:late=60:
                         late=MS  it answers MS milliseconds late (instead
                                  of --late; the echo keeps --late's time)
                         silent   it never answers (as if it were not there)
                         garble   its answers come mangled
                         noise=N  each reading lies up to N counts either
                                  side of its code (repeats with --seed)
                         ramp=N   its code moves N counts at every read
  --drift              the codes wander a little at every read (at most 64
                       away from CODE), like a cell under load
  --write-answer MODE  answer to the set-address frame 02 53 4E 4D (A+40) sum 0D:
                         accept   02 4F 4B sum 0D (default; the cell takes A)
                         address  FF 4E (A+40) sum 0D (the cell takes A)
                         none     no answer, the address stays
  --late MS            answer MS milliseconds late (also the echo)
  --garble             answers lose their start byte and come mangled
  --silent             the cells never answer
  --two-cells          every cell answers every read frame, replies run
                       together (one cell: a second one at ADDR+1 joins in)
  --drop P             each cell's answer is lost with probability P (0..1);
                       a written address is taken even if its OK is lost
  --seed N             seeds --drop's losses and the cells' noise, so that a
                       run repeats (default 1)
  --reply-hex "BYTES"  answer every load-cell frame with exactly these bytes,
                       e.g. "FF 02 45", "02" or "00 02 41"
Collisions: when several cells answer one frame at once (address 0, or a
set-address, which every cell takes), the line carries the byte-wise AND of
their answers, as a wired-AND RS-485 bus does: mangled bytes, not two clean
replies (two equal answers, such as two OKs, read as one). Cells that answer
with different delays (late=MS) answer one after the other.

Terminal
  --echo               send back every byte received, as a 2-wire RS-485
                       adapter does; with cells, the request's echo comes
                       first, then the cells' answer
  --stream TEXT        send TEXT over and over
  --stream-hex "BYTES" send these bytes over and over, e.g. "41 42 0D 0A"
  --rate N             stream N bytes per second (default: as fast as the
                       line takes them, or as --baud allows)

  -h, --help           show this help and exit
  -V, --version        show the version and exit

Options that take a value accept --option VALUE or --option=VALUE.
BYTES are groups of one or two hexadecimal digits, or runs of digit pairs,
separated by blanks or commas: "41 42 0D 0A", 41,42,D,A or 41420D0A.

Exit status
  0    --help, --version, the end after --hangup-after, or --background's
       program once the device is ready
  64   a bad option (a one-line error on stderr)
  71   no pseudo-terminal or no process could be had
  73   the --link or the --pidfile cannot be made (e.g. PATH is a file)
  74   the device path cannot be written on stdout
  75   a running portsim holds the --link
  129, 130, 143  stopped by SIGHUP, SIGINT (Ctrl+C), SIGTERM (128 + signal)

Example: a cell for PortBench
  portsim --link /tmp/portbench-cell --cell 1:74565 --drift
In PortBench, type /tmp/portbench-cell as the port, 9600,n,8,1 as the line
settings, press Open, and read address 0 or the A/D code of address 1.
)";
}

} // namespace portsim
