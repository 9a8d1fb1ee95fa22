#include "portline.h"

extern "C" {
int32_t OpenPort(const char*, const char*, int32_t) { return 0; }
int32_t SetupPort(const char*) { return 1; }
int32_t ClosePort() { return 0; }
const char* ReadAllPort() { return ""; }
int32_t ClearPort() { return 0; }
const char* WriteSendData(const char*) { return ""; }
int32_t SetDTR(int32_t) { return 1; }
int32_t SetRTS(int32_t) { return 1; }
int32_t QuillReadLoadCell(int32_t) { return 0; }
int32_t QuillWriteLoadCell(int32_t) { return 0; }
int32_t QuillReadLoadCellValue(int32_t) { return -65535; }
}
