// Callers that break the one-caller rule: eight threads mix every export, the close and
// the open included, against a bench that echoes and answers as a load cell. Nothing may
// crash, hang or corrupt, and every result must be one its export's contract allows.
#include "overlap_cases.h"
#include "overlap_mix.h"
#include "portline.h"

#include <portsim/bench.h>

#include <gtest/gtest.h>

#include <fstream>

#include <dirent.h>

namespace {

constexpr int kThreads = 8;

// Entries of a /proc/self folder that pass `keep`.
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

// Every byte the bench can put on the line here: the echo of the texts and frames sent,
// and the cell's answers for the addresses used.
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

TEST(OverlappingCallers, EightThreadsMixingEveryExportRunOneCallAtATime) {
    portsim::Config config;
    config.echo = true;
    config.cells.push_back({3, 74565, false});
    portsim::Bench bench(config);
    ASSERT_TRUE(bench.Start()) << bench.Error();
    const int descriptors = OpenDescriptors();

    overlap::Mix mix;
    mix.port = bench.DevicePath();
    mix.deviceBytes = DeviceBytes();
    ASSERT_EQ(OpenPort(mix.port.c_str(), "9600,n,8,1", 1), 1);
    mix.readText = ReadAllPort();
    mix.reply = WriteSendData("a");
    ASSERT_STREQ(mix.reply, "a");

    cases::RunBothMixPhases(mix, kThreads, std::chrono::seconds(4));

    // What is left works as for a single caller, and nothing leaked.
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(ReaderThreads(), 0);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    ASSERT_EQ(OpenPort(mix.port.c_str(), "9600,n,8,1", 1), 1);
    EXPECT_STREQ(WriteSendData("abc"), "abc");
    EXPECT_EQ(ClosePort(), 0);
}

} // namespace
