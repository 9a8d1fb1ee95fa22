// The kernel's termios record with numeric speeds (TCGETS2/TCSETS2), which glibc does
// not declare: it carries any baud rate, not only the named ones.
#ifndef PORTLINE_TERMIOS2_H
#define PORTLINE_TERMIOS2_H

#include <termios.h>

struct termios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};

#endif
