// The serial layer on the Windows communications API. The port is opened overlapped;
// each kind of operation has its own completion record and event, so that a completion
// is never taken for another thread's operation: the event wait (the watcher thread
// only), the reads (one at a time, and each ends before Read returns) and the writes
// (a record per write still under way, since a write is started and not awaited).
#include "serial.h"
#include "win32_notices.h"

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace portline {
namespace {

static_assert(sizeof(DCB) == 28, "the line settings record is 28 bytes on every target");

constexpr DWORD kThreadNoticeMask = EV_RXCHAR | EV_TXEMPTY;

// A completion record with its own manual-reset, unsignalled, unnamed event.
struct Completion {
    OVERLAPPED overlapped{};
    HANDLE event = nullptr;

    // Ready for a new operation: never used, or its last operation has finished.
    bool Idle() const { return event && HasOverlappedIoCompleted(&overlapped); }
    OVERLAPPED* Fresh() {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        return &overlapped;
    }
};

HANDLE NewEvent() {
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

// Made at load and kept for the life of the process: the watcher's event wait and the
// reads. One port is held at a time, so the records are the library's, not the port's.
Completion g_waitRecord;
Completion g_readRecord;
std::mutex g_readLock;

// The held port, for the loader's thread notices; the lock keeps a notice from using a
// handle that is being closed.
SRWLOCK g_heldLock = SRWLOCK_INIT;
HANDLE g_held = nullptr;

std::mutex g_switchLock;
ModemLineSwitch g_modemLineSwitch;

struct WriteRecord {
    Completion completion;
    std::vector<uint8_t> bytes; // must stay put until the write has completed
};

void ReadLineSettings(HANDLE port, DCB& dcb) {
    dcb = DCB{};
    dcb.DCBlength = sizeof(DCB);
    GetCommState(port, &dcb);
}

class Win32SerialPort final : public SerialPort {
  public:
    Win32SerialPort(HANDLE port, const COMMTIMEOUTS& saved)
        : port_(port), saved_(saved), maskSet_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

    ~Win32SerialPort() override {
        // Reads end before Read returns, so none should be pending; one that is goes first.
        PurgeComm(port_, PURGE_RXABORT);
        AcquireSRWLockExclusive(&g_heldLock);
        g_held = nullptr;
        ReleaseSRWLockExclusive(&g_heldLock);
        // A write still under way (held up by flow control) is abandoned; its record
        // must outlive it.
        for (const auto& write : writes_)
            if (!write->completion.Idle()) CancelIoEx(port_, &write->completion.overlapped);
        CloseHandle(port_);
        for (auto& write : writes_) {
            if (!write->completion.Idle() &&
                WaitForSingleObject(write->completion.event, 2000) != WAIT_OBJECT_0) {
                (void)write.release(); // never completed: its memory stays the system's
                continue;
            }
            CloseHandle(write->completion.event);
        }
        if (maskSet_) CloseHandle(maskSet_);
    }

    void Configure(std::string_view text) override {
        DCB dcb;
        ReadLineSettings(port_, dcb);
        // Whatever the builder leaves in the record is applied, also when it rejects the text.
        BuildCommDCBA(std::string(text).c_str(), &dcb);
        SetCommState(port_, &dcb);
    }

    void RestoreSaved() override { SetCommTimeouts(port_, &saved_); }

    bool PurgeInput() override { return PurgeComm(port_, PURGE_RXCLEAR) != 0; }
    bool PurgeAll() override {
        return PurgeComm(port_, PURGE_TXABORT | PURGE_RXABORT | PURGE_RXCLEAR) != 0;
    }
    size_t Read(uint8_t* buffer, size_t max) override {
        if (max == 0) return 0;
        std::lock_guard lock(g_readLock);
        OVERLAPPED* record = g_readRecord.Fresh();
        // With the port's read time-outs the read completes at once with what is waiting.
        // Some layers (Wine on a pseudo-terminal) leave a read of an empty queue pending
        // instead: it is cancelled, since a read here never waits for bytes. Either way
        // the completion is collected, so the record is free again on return.
        if (!ReadFile(port_, buffer, static_cast<DWORD>(max), nullptr, record)) {
            if (GetLastError() != ERROR_IO_PENDING) return 0;
            if (WaitForSingleObject(record->hEvent, 0) != WAIT_OBJECT_0) CancelIoEx(port_, record);
        }
        DWORD got = 0;
        GetOverlappedResult(port_, record, &got, TRUE);
        return static_cast<size_t>(record->InternalHigh); // also what a cancelled read took
    }

    void Write(const uint8_t* bytes, size_t count) override {
        if (count == 0) return;
        WriteRecord& record = IdleWriteRecord();
        if (!record.completion.event) return;
        record.bytes.assign(bytes, bytes + count);
        WriteFile(port_, record.bytes.data(), static_cast<DWORD>(count), nullptr,
                  record.completion.Fresh());
    }

    void SetModemLine(ModemLine line, bool on) override {
        {
            std::lock_guard lock(g_switchLock);
            if (g_modemLineSwitch) {
                g_modemLineSwitch(line, on);
                return;
            }
        }
        DCB dcb;
        ReadLineSettings(port_, dcb);
        if (line == ModemLine::Dtr)
            dcb.fDtrControl = on ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
        else
            dcb.fRtsControl = on ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
        SetCommState(port_, &dcb);
    }

    void WakeEventWait() override { SetEventMask(); }

    uint32_t WaitEvent(uint32_t& inQueue) override {
        DWORD events = 0;
        const BOOL done = WaitCommEvent(port_, &events, g_waitRecord.Fresh());
        const DWORD error = done ? ERROR_SUCCESS : GetLastError();
        inQueue = InputCount(); // the count as the wait starts, before it has finished
        if (done) return events & EV_RXCHAR;
        if (error != ERROR_IO_PENDING) return 0;
        const HANDLE ends[] = {g_waitRecord.event, maskSet_};
        if (WaitForMultipleObjects(2, ends, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
            SetCommMask(port_, EV_RXCHAR); // the mask was set as this wait began: end it
        DWORD transferred = 0;
        if (!GetOverlappedResult(port_, &g_waitRecord.overlapped, &transferred, TRUE)) return 0;
        return events & EV_RXCHAR;
    }

  private:
    // Setting the mask ends a pending wait; the event also ends a wait that starts after it.
    void SetEventMask() {
        SetCommMask(port_, EV_RXCHAR);
        SetEvent(maskSet_);
    }

    // Bytes waiting in the input queue.
    uint32_t InputCount() {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port_, &errors, &status)) return 0;
        return status.cbInQue;
    }

    WriteRecord& IdleWriteRecord() {
        for (const auto& write : writes_)
            if (write->completion.Idle()) return *write;
        auto record = std::make_unique<WriteRecord>();
        record->completion.event = NewEvent();
        writes_.push_back(std::move(record));
        return *writes_.back();
    }

    const HANDLE port_;
    COMMTIMEOUTS saved_;   // SetCommTimeouts takes it by non-const pointer
    const HANDLE maskSet_; // auto-reset: set by SetEventMask, taken by the next wait
    std::vector<std::unique_ptr<WriteRecord>> writes_; // the caller's thread only
};

} // namespace

void LibraryLoaded() {
    g_waitRecord.event = NewEvent();
    g_readRecord.event = NewEvent();
}

void ThreadStartedOrEndedInProcess() {
    AcquireSRWLockShared(&g_heldLock);
    if (g_held) SetCommMask(g_held, kThreadNoticeMask);
    ReleaseSRWLockShared(&g_heldLock);
}

std::string DevicePath(const std::string& name) {
    return "\\\\.\\" + name;
}

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& name) {
    if (!g_waitRecord.event) LibraryLoaded(); // linked statically: no load notice came
    const HANDLE port = CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) return nullptr;
    AcquireSRWLockExclusive(&g_heldLock);
    g_held = port;
    ReleaseSRWLockExclusive(&g_heldLock);

    COMMTIMEOUTS saved{};
    GetCommTimeouts(port, &saved);
    // A read returns at once with whatever is waiting; writes have no time-out.
    COMMTIMEOUTS applied{};
    applied.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(port, &applied);
    return std::make_unique<Win32SerialPort>(port, saved);
}

void SetModemLineSwitch(ModemLineSwitch lineSwitch) {
    std::lock_guard lock(g_switchLock);
    g_modemLineSwitch = std::move(lineSwitch);
}

} // namespace portline
