// Callers that break the one-caller rule: eight threads mix every export, the close and
// the open included, against a bench that echoes and answers as a load cell. Nothing may
// crash, hang or corrupt, and every result must be one its export's contract allows.
#include "portline.h"

#include <portsim/bench.h>

#include <gtest/gtest.h>

#include <atomic>
#include <bitset>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kThreads = 8;
constexpr auto kMixing = std::chrono::seconds(8);
constexpr auto kBound = std::chrono::seconds(30); // mixing, the calls still waiting, the end

// Entries of a /proc/self folder whose name (or thread name) passes `keep`.
template <typename Keep> int CountEntries(const char* folder, Keep keep) {
    int count = 0;
    DIR* dir = opendir(folder);
    while (dirent* e = dir ? readdir(dir) : nullptr)
        if (e->d_name[0] != '.' && keep(std::string(folder) + "/" + e->d_name)) ++count;
    if (dir) closedir(dir);
    return count;
}

int ReaderThreads() {
    return CountEntries("/proc/self/task", [](const std::string& task) {
        std::string name;
        std::getline(std::ifstream(task + "/comm"), name);
        return name == "TFormThread" || name == "AXThread";
    });
}

int OpenDescriptors() {
    return CountEntries("/proc/self/fd", [](const std::string&) { return true; });
}

// Every byte the bench can put on the line in this test: the echo of the texts and frames
// sent, and the cells' answers for the addresses used.
std::bitset<256> DeviceBytes() {
    std::bitset<256> bytes;
    auto add = [&](const portsim::Bytes& b) {
        for (uint8_t c : b)
            bytes.set(c);
    };
    for (int t = 0; t < kThreads; ++t)
        bytes.set(static_cast<uint8_t>('a' + t));
    for (int a = 0; a < 10; ++a) {
        add(portsim::ReadFrame(a));
        add(portsim::SetAddressFrame(a));
        add(portsim::ReadReply(a, 74565));
        add(portsim::AddressFormReply(a));
    }
    add(portsim::AcceptReply());
    return bytes;
}

// The results the contracts allow, whatever state the calls before left.
bool CellByte(int32_t r) {
    return r >= -64 && r <= 191; // a reply byte less 64
}
bool ReadAddressAllowed(int32_t r) {
    return r == 0 || r == -1 || CellByte(r);
}
bool ReadValueAllowed(int32_t r) {
    constexpr int32_t kWeights = 1 + 16 + 256 + 4096 + 65536;
    return r == PORTLINE_CELL_NO_VALUE || (r >= -0x30 * kWeights && r <= (255 - 0x30) * kWeights);
}
bool WriteAddressAllowed(int32_t r) {
    return r == 0 || r == PORTLINE_CELL_WRITE_ACCEPTED || CellByte(r);
}

struct Tally {
    std::atomic<int> calls{0};
    std::atomic<int> opened{0};
    std::atomic<int> echoed{0}; // sends that got exactly their own text back
    std::mutex lock;
    std::vector<std::string> faults;

    void Fault(std::string what) {
        std::lock_guard guard(lock);
        if (faults.size() < 20) faults.push_back(std::move(what));
    }
};

// One thread's mix: a random export at a time until the deadline.
void Mix(int thread, const std::string& path, Clock::time_point until, Tally& tally,
         const std::bitset<256>& deviceBytes, const char* const* buffers) {
    std::mt19937 random(static_cast<unsigned>(thread * 7919 + 1));
    auto text = [&](const char* what, const char* got, const char* buffer) {
        if (got != buffer) return tally.Fault(std::string(what) + " moved its buffer");
        const size_t length = strnlen(got, 1000);
        if (length > 255) return tally.Fault(std::string(what) + " longer than 255 bytes");
        for (size_t i = 0; i < length; ++i)
            if (!deviceBytes.test(static_cast<uint8_t>(got[i])))
                return tally.Fault(std::string(what) + " holds a byte no device sent");
    };
    auto expect = [&](bool allowed, const char* what, int32_t got) {
        if (!allowed) tally.Fault(std::string(what) + " gave " + std::to_string(got));
    };
    while (Clock::now() < until) {
        const int32_t argument = static_cast<int32_t>(random() % 10);
        switch (random() % 12) { // sends twice as often: they show the port in use
        case 0: {
            const int32_t r = OpenPort(path.c_str(), "9600,n,8,1", 1);
            expect(r == 0 || r == 1, "OpenPort", r);
            if (r == 1) ++tally.opened;
            break;
        }
        case 1:
            expect(SetupPort(argument % 2 ? "19200,e,8,1" : "9600,n,8,1") == 1, "SetupPort", 0);
            break;
        case 2: {
            const int32_t r = ClosePort();
            expect(r == 0, "ClosePort", r);
            break;
        }
        case 3:
            text("ReadAllPort", ReadAllPort(), buffers[0]);
            break;
        case 4: {
            const int32_t r = ClearPort();
            expect(r == 0 || r == 1, "ClearPort", r);
            break;
        }
        case 5:
        case 11: {
            const std::string sent(1 + argument, static_cast<char>('a' + thread));
            const char* reply = WriteSendData(sent.c_str());
            text("WriteSendData", reply, buffers[1]);
            if (sent == reply) ++tally.echoed;
            break;
        }
        case 6:
            expect(SetDTR(argument % 2) == 1, "SetDTR", 0);
            break;
        case 7:
            expect(SetRTS(argument % 2) == 1, "SetRTS", 0);
            break;
        case 8: {
            const int32_t r = QuillReadLoadCell(argument);
            expect(ReadAddressAllowed(r), "QuillReadLoadCell", r);
            break;
        }
        case 9: {
            const int32_t r = QuillWriteLoadCell(1 + argument % 9);
            expect(WriteAddressAllowed(r), "QuillWriteLoadCell", r);
            break;
        }
        default: {
            const int32_t r = QuillReadLoadCellValue(argument);
            expect(ReadValueAllowed(r), "QuillReadLoadCellValue", r);
            break;
        }
        }
        ++tally.calls;
    }
}

TEST(OverlappingCallers, EightThreadsMixingEveryExportRunOneCallAtATime) {
    portsim::Config config;
    config.echo = true;
    config.cells.push_back({3, 74565, false});
    portsim::Bench bench(config);
    ASSERT_TRUE(bench.Start()) << bench.Error();
    const std::string path = bench.DevicePath();
    const int descriptors = OpenDescriptors();

    // The two static buffers, as a single caller sees them.
    ASSERT_EQ(OpenPort(path.c_str(), "9600,n,8,1", 1), 1);
    const char* const buffers[] = {ReadAllPort(), WriteSendData("a")};
    ASSERT_STREQ(buffers[1], "a");

    Tally tally;
    const std::bitset<256> deviceBytes = DeviceBytes();
    const Clock::time_point until = Clock::now() + kMixing;
    std::mutex doneLock;
    std::condition_variable doneSignal;
    int done = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            Mix(t, path, until, tally, deviceBytes, buffers);
            std::lock_guard guard(doneLock);
            ++done;
            doneSignal.notify_all();
        });
    {
        std::unique_lock wait(doneLock);
        if (!doneSignal.wait_until(wait, until - kMixing + kBound,
                                   [&] { return done == kThreads; })) {
            // Stuck threads cannot be joined: end the run here, as a failure.
            std::fprintf(stderr, "overlapping calls hung: %d of %d threads finished\n", done,
                         kThreads);
            std::abort();
        }
    }
    for (std::thread& t : threads)
        t.join();

    for (const std::string& fault : tally.faults)
        ADD_FAILURE() << fault;
    std::printf("%d calls, %d opens, %d sends echoed whole\n", tally.calls.load(),
                tally.opened.load(), tally.echoed.load());
    EXPECT_GT(tally.opened.load(), 0);
    EXPECT_GT(tally.echoed.load(), 0) << "no send ever had the port to itself";

    // What is left works as for a single caller, and nothing leaked.
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(ReaderThreads(), 0);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    ASSERT_EQ(OpenPort(path.c_str(), "9600,n,8,1", 1), 1);
    EXPECT_STREQ(WriteSendData("abc"), "abc");
    EXPECT_EQ(ClosePort(), 0);
}

} // namespace
