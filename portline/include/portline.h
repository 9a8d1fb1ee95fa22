// Portline: the serial port of the host program, behind eleven plain exports.
//
// One port per process. Every export is synchronous and meant to be called from one
// thread at a time (PortBench calls them all from its user-interface thread).
// Texts that cross this interface are zero-terminated 8-bit strings; the texts
// returned belong to the library and stay valid until it writes them again.
//
// Calls that overlap all the same, from any number of threads, run one after another:
// each waits for the call in progress, then runs whole with its own fixed pauses, and
// gives a result its description below allows for the state the earlier calls left.
// ReadAllPort's text and WriteSendData's reply stay the library's two static buffers, the
// same pointer at every call; OpenPort, ReadAllPort, ClearPort and WriteSendData write
// them. The caller reads a text after the call has returned, so the library cannot guard
// that read: a caller whose threads overlap keeps those four calls and its copying of the
// texts to one thread at a time itself (one lock of its own around each such call and
// its copy). Nor may it rely on the order in which waiting calls run, or on the port it
// opened still being the one held: another thread may have closed or reopened it.
#ifndef PORTLINE_H
#define PORTLINE_H

#include <stdint.h>

#if defined(_WIN32)
// Plain, undecorated names come from portline.def; the callee pops its arguments.
#define PORTLINE_CALL __stdcall
#if defined(PORTLINE_BUILDING)
#define PORTLINE_API
#else
#define PORTLINE_API __declspec(dllimport)
#endif
#else
#define PORTLINE_CALL
#define PORTLINE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Opens the port `name` ("COM3", "ttyUSB0" or an absolute device path) with the
// line parameter text `params` ("9600,n,8,1"). When the low byte of
// `startReader` is 1 the background reader starts. 1: opened; 0: not opened.
PORTLINE_API int32_t PORTLINE_CALL OpenPort(const char* name, const char* params,
                                            int32_t startReader);
// Applies a line parameter text to the held port. Always 1.
PORTLINE_API int32_t PORTLINE_CALL SetupPort(const char* params);
// Stops the reader, restores the port's earlier settings and releases it. Always 0.
PORTLINE_API int32_t PORTLINE_CALL ClosePort(void);

// Hands out the text received since the previous call and asks for the next one.
PORTLINE_API const char* PORTLINE_CALL ReadAllPort(void);
// Waits 200 ms, empties the reply texts and discards waiting input. Nonzero on success.
PORTLINE_API int32_t PORTLINE_CALL ClearPort(void);

// Sends `text` (at most 255 bytes are taken) and returns what came back within 80 ms.
PORTLINE_API const char* PORTLINE_CALL WriteSendData(const char* text);
// Switch the modem-control lines: on when the low byte of `flag` is 1. Always 1.
PORTLINE_API int32_t PORTLINE_CALL SetDTR(int32_t flag);
PORTLINE_API int32_t PORTLINE_CALL SetRTS(int32_t flag);

// Load-cell exchanges: 7-byte request, fixed wait, decoded reply.
PORTLINE_API int32_t PORTLINE_CALL QuillReadLoadCell(int32_t address);
PORTLINE_API int32_t PORTLINE_CALL QuillWriteLoadCell(int32_t newAddress);
PORTLINE_API int32_t PORTLINE_CALL QuillReadLoadCellValue(int32_t address);

#ifdef __cplusplus
}
#endif

// Sentinels of the load-cell exchanges, as constants for C and C++ callers alike.
// QuillWriteLoadCell: the cell accepted the new address (the ASCII codes of "OK").
#define PORTLINE_CELL_WRITE_ACCEPTED 20299
// QuillReadLoadCellValue: no reply with a start byte came.
#define PORTLINE_CELL_NO_VALUE (-65535)
// QuillReadLoadCell: the reply ended with its start byte, so it carried no address.
#define PORTLINE_CELL_NO_ADDRESS (-64)

#endif
