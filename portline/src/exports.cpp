// The eleven exports: plain C names over the library's operations, one call at a time.
#include "portline.h"

#include "library.h"
#include "state.h"

#include <mutex>

namespace {

// Held for the whole of every export, its fixed pauses included, so that calls from
// several threads run one after another on the caller-owned state. The reader threads
// never take it: a call may wait for them (the open for the start purge, the close for
// the join) while holding it.
using OneCall = std::lock_guard<std::mutex>;

} // namespace

extern "C" {

int32_t PORTLINE_CALL OpenPort(const char* name, const char* params, int32_t startReader) {
    OneCall call(portline::Lib.CallLock);
    return portline::OpenPort(name, params, startReader);
}
int32_t PORTLINE_CALL SetupPort(const char* params) {
    OneCall call(portline::Lib.CallLock);
    return portline::SetupPort(params);
}
int32_t PORTLINE_CALL ClosePort(void) {
    OneCall call(portline::Lib.CallLock);
    return portline::ClosePort();
}

const char* PORTLINE_CALL ReadAllPort(void) {
    OneCall call(portline::Lib.CallLock);
    return portline::ReadAllPort();
}
int32_t PORTLINE_CALL ClearPort(void) {
    OneCall call(portline::Lib.CallLock);
    return portline::ClearPort();
}

const char* PORTLINE_CALL WriteSendData(const char* text) {
    OneCall call(portline::Lib.CallLock);
    return portline::WriteSendData(text);
}
int32_t PORTLINE_CALL SetDTR(int32_t flag) {
    OneCall call(portline::Lib.CallLock);
    return portline::SetDTR(flag);
}
int32_t PORTLINE_CALL SetRTS(int32_t flag) {
    OneCall call(portline::Lib.CallLock);
    return portline::SetRTS(flag);
}

int32_t PORTLINE_CALL QuillReadLoadCell(int32_t address) {
    OneCall call(portline::Lib.CallLock);
    return portline::QuillReadLoadCell(address);
}
int32_t PORTLINE_CALL QuillWriteLoadCell(int32_t newAddress) {
    OneCall call(portline::Lib.CallLock);
    return portline::QuillWriteLoadCell(newAddress);
}
int32_t PORTLINE_CALL QuillReadLoadCellValue(int32_t address) {
    OneCall call(portline::Lib.CallLock);
    return portline::QuillReadLoadCellValue(address);
}
}
