#include "options.h"

namespace portsim {

std::string UsageText() {
    return R"(Usage: portsim [OPTION]...
Plays the far end of a serial line on a pseudo-terminal: digital load cells,
an echo, or a stream of bytes. Prints the device path (e.g. /dev/pts/5) as its
first line, then runs until Ctrl+C (SIGINT) or SIGTERM.

Line
  --link PATH          also make a symbolic link PATH to the device (an old
                       link there is replaced; the link is removed at exit)
  --baud N             send every byte at the speed of N baud, 8N1 (10 bits a
                       byte); requests also take that long to arrive
                       (default: no pacing, bytes go at once)

Load cells (without --cell, --echo or --stream: one cell at address 1)
  --cell ADDR[:CODE]   a cell at address ADDR (1..191) reporting the A/D code
                       CODE (0..1048575, default 74565; 0x.. for hex). Repeat
                       for more cells. A cell answers the read frame
                       02 52 44 53 (ADDR+40) sum 0D and the one for address 0
                       with 02 (ADDR+40) 30 and CODE as five digits 30..3F,
                       least significant first, then a checksum and 0D.
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
  --reply-hex "BYTES"  answer every load-cell frame with exactly these bytes,
                       e.g. "FF 02 45", "02" or "00 02 41"

Terminal
  --echo               send back every byte received
  --stream TEXT        send TEXT over and over
  --stream-hex "BYTES" send these bytes over and over, e.g. "41 42 0D 0A"
  --rate N             stream N bytes per second (default: as fast as the
                       line takes them, or as --baud allows)

  -h, --help           show this help and exit

Options that take a value accept --option VALUE or --option=VALUE.
Bad options: a one-line error on stderr and exit status 2.

Example: a cell for PortBench
  portsim --link /tmp/portbench-cell --cell 1:74565 --drift
In PortBench, type /tmp/portbench-cell as the port, 9600,n,8,1 as the line
settings, press Open, and read address 0 or the A/D code of address 1.
)";
}

} // namespace portsim
