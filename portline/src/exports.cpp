// The eleven exports: plain C names over the library's operations.
#include "portline.h"

#include "library.h"

extern "C" {

int32_t PORTLINE_CALL OpenPort(const char* name, const char* params, int32_t startReader) {
    return portline::OpenPort(name, params, startReader);
}
int32_t PORTLINE_CALL SetupPort(const char* params) {
    return portline::SetupPort(params);
}
int32_t PORTLINE_CALL ClosePort(void) {
    return portline::ClosePort();
}

const char* PORTLINE_CALL ReadAllPort(void) {
    return portline::ReadAllPort();
}
int32_t PORTLINE_CALL ClearPort(void) {
    return portline::ClearPort();
}

const char* PORTLINE_CALL WriteSendData(const char* text) {
    return portline::WriteSendData(text);
}
int32_t PORTLINE_CALL SetDTR(int32_t flag) {
    return portline::SetDTR(flag);
}
int32_t PORTLINE_CALL SetRTS(int32_t flag) {
    return portline::SetRTS(flag);
}

int32_t PORTLINE_CALL QuillReadLoadCell(int32_t address) {
    return portline::QuillReadLoadCell(address);
}
int32_t PORTLINE_CALL QuillWriteLoadCell(int32_t newAddress) {
    return portline::QuillWriteLoadCell(newAddress);
}
int32_t PORTLINE_CALL QuillReadLoadCellValue(int32_t address) {
    return portline::QuillReadLoadCellValue(address);
}
}
