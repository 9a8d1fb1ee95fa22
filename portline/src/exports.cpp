// The eleven exports: plain C names over the library's operations, one call at a time.
#include "portline.h"

#include "library.h"
#include "state.h"

#include <mutex>

namespace {

// Runs one operation holding the call lock for the whole of it, its fixed pauses included,
// so that calls from several threads run one after another on the caller-owned state. The
// reader threads never take the lock: a call may wait for them (the open for the start
// purge, the close for the join) while holding it.
template <auto Operation, typename... Args> auto OneCall(Args... args) {
    std::lock_guard call(portline::Lib.CallLock);
    return Operation(args...);
}

} // namespace

extern "C" {

int32_t PORTLINE_CALL OpenPort(const char* name, const char* params, int32_t startReader) {
    return OneCall<portline::OpenPort>(name, params, startReader);
}
int32_t PORTLINE_CALL SetupPort(const char* params) {
    return OneCall<portline::SetupPort>(params);
}
int32_t PORTLINE_CALL ClosePort(void) {
    return OneCall<portline::ClosePort>();
}

const char* PORTLINE_CALL ReadAllPort(void) {
    return OneCall<portline::ReadAllPort>();
}
int32_t PORTLINE_CALL ClearPort(void) {
    return OneCall<portline::ClearPort>();
}

const char* PORTLINE_CALL WriteSendData(const char* text) {
    return OneCall<portline::WriteSendData>(text);
}
int32_t PORTLINE_CALL SetDTR(int32_t flag) {
    return OneCall<portline::SetDTR>(flag);
}
int32_t PORTLINE_CALL SetRTS(int32_t flag) {
    return OneCall<portline::SetRTS>(flag);
}

int32_t PORTLINE_CALL QuillReadLoadCell(int32_t address) {
    return OneCall<portline::QuillReadLoadCell>(address);
}
int32_t PORTLINE_CALL QuillWriteLoadCell(int32_t newAddress) {
    return OneCall<portline::QuillWriteLoadCell>(newAddress);
}
int32_t PORTLINE_CALL QuillReadLoadCellValue(int32_t address) {
    return OneCall<portline::QuillReadLoadCellValue>(address);
}
}
