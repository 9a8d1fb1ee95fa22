/* A C program built against an installed Portline: it opens the device named on
   its command line (a pseudo-terminal that portsim plays a load cell on), sends
   the load-cell frames and an echo test frame, and checks the replies.
   Exit status 0 when every step works. */
#include <portline.h>

#include <stdio.h>
#include <string.h>

static int failures = 0;

static void expect(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: portline_smoke DEVICE CODE\n");
        return 2;
    }
    int32_t code = 0;
    sscanf(argv[2], "%d", &code);

    expect(OpenPort(argv[1], "9600,n,8,1", 1) == 1, "OpenPort on the pseudo-terminal");
    if (failures) return 1;
    expect(SetupPort("19200,n,8,1") == 1, "SetupPort");
    expect(QuillReadLoadCell(0) == 1, "the read-address frame finds the cell at address 1");
    expect(QuillReadLoadCellValue(1) == code, "the read-A/D-code frame returns the cell's code");
    /* A frame the cell does not know: it stays silent, so the reply is empty. */
    const char* reply = WriteSendData("\x02XYZ\x0D");
    expect(reply != NULL && strlen(reply) == 0, "a frame of no command gets no reply");
    expect(ClearPort() != 0, "ClearPort");
    expect(ClosePort() == 0, "ClosePort");
    return failures ? 1 : 0;
}
