// Opening, reconfiguring and closing the one port of the process.
#include "hand_over.h"
#include "library.h"
#include "priority.h"
#include "receive.h"
#include "state.h"

#include <cstring>
#include <exception>

namespace portline {
namespace {

bool StartReader() {
    RaiseProcessPriority(); // nothing lowers it again
    const int normal = NormalPriority();
    try {
        Lib.FormThread = new TFormThread();
        Lib.AxThread = new AXThread();
    } catch (const std::exception&) {
        delete Lib.FormThread; // never resumed: it runs out at once
        Lib.FormThread = nullptr;
        return false;
    }
    Lib.FormThread->SetPriority(normal);
    Lib.AxThread->SetPriority(normal);
    Lib.FormThread->Resume();
    Lib.AxThread->Resume();
    Lib.FormThread->WaitUntilPurged();
    return true;
}

void StopReader() {
    if (!Lib.FormThread || !Lib.AxThread) return;
    Lib.FormThread->Terminate();
    Lib.AxThread->Terminate();
    // Ends AXThread's pending event wait; the end of TFormThread does so again.
    Lib.PortHandle->WakeEventWait();
    delete Lib.FormThread; // waits for at most about one reader pass
    delete Lib.AxThread;
    Lib.FormThread = nullptr;
    Lib.AxThread = nullptr;
}

// Runs only once the reader threads are joined (or never started) and under the call
// lock, so no exchange and no reader pass still uses the port it frees.
void ReleasePort() {
    Lib.PortHandle->RestoreSaved();
    delete Lib.PortHandle;
    Lib.PortHandle = nullptr;
}

} // namespace

int32_t OpenPort(const char* name, const char* params, int32_t startReader) {
    // The caller closes a held port first; an open over it would orphan its reader.
    if (Lib.PortHandle) return 0;
    std::unique_ptr<SerialPort> port = OpenSerialPort(name ? name : "");
    if (!port) return 0;
    Lib.PortHandle = port.release();
    Lib.PortHandle->Configure(params ? params : "");

    std::memset(Lib.ReplyText, 0, sizeof Lib.ReplyText);
    std::memset(Lib.SendBuffer, 0, sizeof Lib.SendBuffer);
    Reception.Reset();

    if (IsOn(startReader) && !StartReader()) {
        ReleasePort();
        return 0;
    }
    return 1;
}

int32_t SetupPort(const char* params) {
    if (Lib.PortHandle) Lib.PortHandle->Configure(params ? params : "");
    return 1;
}

int32_t ClosePort() {
    if (!Lib.PortHandle) return 0;
    StopReader();
    ReleasePort();
    return 0;
}

} // namespace portline
