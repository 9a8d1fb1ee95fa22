// Callers that break the one-caller rule: threads that each call a random export at a
// time, the close and the open included, for a while. Shared by the Linux test and the
// Windows one, each with its own device.
#ifndef PORTLINE_TESTS_OVERLAP_MIX_H
#define PORTLINE_TESTS_OVERLAP_MIX_H

#include "portline.h"

#include <atomic>
#include <bitset>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace overlap {

using Clock = std::chrono::steady_clock;

// The results the contracts allow, whatever state the calls before left.
inline bool CellByte(int32_t r) {
    return r >= -64 && r <= 191; // a reply byte less 64
}
inline bool ReadAddressAllowed(int32_t r) {
    return r == 0 || r == -1 || CellByte(r);
}
inline bool ReadValueAllowed(int32_t r) {
    constexpr int32_t kWeights = 1 + 16 + 256 + 4096 + 65536;
    return r == PORTLINE_CELL_NO_VALUE || (r >= -0x30 * kWeights && r <= (255 - 0x30) * kWeights);
}
inline bool WriteAddressAllowed(int32_t r) {
    return r == 0 || r == PORTLINE_CELL_WRITE_ACCEPTED || CellByte(r);
}

struct Tally {
    std::atomic<int> calls{0};
    std::atomic<int> opened{0};
    std::atomic<int> sends{0};  // sends whose reply was read
    std::atomic<int> echoed{0}; // of those, the ones that got exactly their own text back
    std::mutex lock;
    std::vector<std::string> faults;

    void Fault(std::string what) {
        std::lock_guard guard(lock);
        if (faults.size() < 20) faults.push_back(std::move(what));
    }
};

struct Mix {
    std::string port;
    std::bitset<256> deviceBytes;   // every byte the device may put on the line
    const char* readText = nullptr; // ReadAllPort's buffer, as a single caller saw it
    const char* reply = nullptr;    // WriteSendData's
    // Whether the texts are read. A text is read after its call has returned, so the calls
    // that write the two buffers then take the caller's own lock, as portline.h asks; the
    // other calls go on overlapping them (all but the close, which is left out then).
    // Without reading, every call overlaps every other.
    bool readTexts = false;
    std::mutex textLock;
    Tally tally;

    // Thread `thread` sends texts of the letter 'a' + thread; the device echoes them.
    void Run(int thread, Clock::time_point until) {
        std::mt19937 random(static_cast<unsigned>(thread * 7919 + 1));
        if (thread == 0 && !readTexts) {
            // A close and then an open, so that the port is opened again amid the other
            // threads' calls however few calls a slow machine gets through: whichever open
            // comes first after this close finds the port free.
            Call(kClose, 0, thread);
            Call(kOpen, 0, thread);
            tally.calls += 2;
        }
        while (Clock::now() < until) {
            const int32_t argument = static_cast<int32_t>(random() % 10);
            Call(static_cast<int>(random() % 12), argument, thread);
            ++tally.calls;
        }
    }

    // Opens the port unless it is held, then `threads` threads mix for `mixing`; a call
    // still running after `bound` is a hang, which ends the process (stuck threads cannot
    // be joined).
    void RunThreads(int threads, Clock::duration mixing, Clock::duration bound) {
        OpenPort(port.c_str(), "9600,n,8,1", 1); // 0 when it is held already
        const Clock::time_point start = Clock::now(), until = start + mixing;
        std::mutex doneLock;
        std::condition_variable doneSignal;
        int done = 0;
        std::vector<std::thread> running;
        for (int t = 0; t < threads; ++t)
            running.emplace_back([&, t] {
                Run(t, until);
                std::lock_guard guard(doneLock);
                ++done;
                doneSignal.notify_all();
            });
        {
            std::unique_lock wait(doneLock);
            if (!doneSignal.wait_until(wait, start + bound, [&] { return done == threads; })) {
                std::fprintf(stderr, "overlapping calls hung: %d of %d threads finished\n", done,
                             threads);
                std::abort();
            }
        }
        for (std::thread& t : running)
            t.join();
    }

  private:
    std::unique_lock<std::mutex> WritesTexts() {
        return readTexts ? std::unique_lock(textLock) : std::unique_lock<std::mutex>();
    }

    void Text(const char* what, const char* got, const char* buffer) {
        if (got != buffer) return tally.Fault(std::string(what) + " moved its buffer");
        if (!readTexts) return;
        const size_t length = strnlen(got, 1000);
        if (length > 255) return tally.Fault(std::string(what) + " longer than 255 bytes");
        for (size_t i = 0; i < length; ++i)
            if (!deviceBytes.test(static_cast<uint8_t>(got[i])))
                return tally.Fault(std::string(what) + " holds a byte no device sent");
    }
    void Expect(bool allowed, const char* what, int32_t got) {
        if (!allowed) tally.Fault(std::string(what) + " gave " + std::to_string(got));
    }

    static constexpr int kOpen = 0, kClose = 2;

    void Call(int which, int32_t argument, int thread) {
        switch (which) {
        case kOpen: {
            auto texts = WritesTexts();
            const int32_t r = OpenPort(port.c_str(), "9600,n,8,1", 1);
            Expect(r == 0 || r == 1, "OpenPort", r);
            if (r == 1) ++tally.opened;
            break;
        }
        case 1:
            Expect(SetupPort(argument % 2 ? "19200,e,8,1" : "9600,n,8,1") == 1, "SetupPort", 0);
            break;
        case kClose:
            // Half as often as the open, so that the port is held most of the time; not at
            // all while the texts are read, so that the sends show their echoes.
            if (argument % 2 || readTexts) return Call(8, argument, thread);
            Expect(ClosePort() == 0, "ClosePort", 1);
            break;
        case 3: {
            auto texts = WritesTexts();
            Text("ReadAllPort", ReadAllPort(), readText);
            break;
        }
        case 4: {
            auto texts = WritesTexts();
            const int32_t r = ClearPort();
            Expect(r == 0 || r == 1, "ClearPort", r);
            break;
        }
        case 5:
        case 11: { // sends twice as often: they show whether a call had the port to itself
            const std::string sent(1 + argument, static_cast<char>('a' + thread));
            auto texts = WritesTexts();
            const char* got = WriteSendData(sent.c_str());
            Text("WriteSendData", got, reply);
            if (readTexts) {
                ++tally.sends;
                if (sent == got) ++tally.echoed;
            }
            break;
        }
        case 6:
            Expect(SetDTR(argument % 2) == 1, "SetDTR", 0);
            break;
        case 7:
            Expect(SetRTS(argument % 2) == 1, "SetRTS", 0);
            break;
        case 8: {
            const int32_t r = QuillReadLoadCell(argument);
            Expect(ReadAddressAllowed(r), "QuillReadLoadCell", r);
            break;
        }
        case 9: {
            const int32_t r = QuillWriteLoadCell(1 + argument % 9);
            Expect(WriteAddressAllowed(r), "QuillWriteLoadCell", r);
            break;
        }
        default: {
            const int32_t r = QuillReadLoadCellValue(argument);
            Expect(ReadValueAllowed(r), "QuillReadLoadCellValue", r);
            break;
        }
        }
    }
};

} // namespace overlap

#endif
