// A program of its own that opens a port through the shared library, as a second
// program on the machine would: started afresh, it shares nothing with the test.
//   portline_open_port PATH   exit 0: opened (and closed again); 1: refused; 64: usage
#include "portline.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: portline_open_port PATH\n");
        return 64;
    }
    if (OpenPort(argv[1], "9600,n,8,1", 0) != 1) return 1;
    ClosePort();
    return 0;
}
