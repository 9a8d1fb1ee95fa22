// The library's operations behind its eleven exports (exports.cpp forwards to these).
#ifndef PORTLINE_LIBRARY_H
#define PORTLINE_LIBRARY_H

#include <cstdint>

namespace portline {

// The flag arguments of OpenPort, SetDTR and SetRTS: on when their low byte is 1.
inline bool IsOn(int32_t flag) {
    return (flag & 0xFF) == 1;
}

// lifecycle.cpp
int32_t OpenPort(const char* name, const char* params, int32_t startReader);
int32_t SetupPort(const char* params);
int32_t ClosePort();

// receive.cpp
const char* ReadAllPort();
int32_t ClearPort();

// transmit.cpp
const char* WriteSendData(const char* text);
int32_t SetDTR(int32_t flag);
int32_t SetRTS(int32_t flag);

// loadcell.cpp
int32_t QuillReadLoadCell(int32_t address);
int32_t QuillWriteLoadCell(int32_t newAddress);
int32_t QuillReadLoadCellValue(int32_t address);

} // namespace portline

#endif
