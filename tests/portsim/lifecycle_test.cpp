// Starting and stopping the bench, its link, and ports that come and go.
#include "bench_on_line.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace portsim;
using namespace portsim::testing;
namespace fs = std::filesystem;

namespace {

Config OneCell() {
    Config config;
    config.cells.push_back(Cell{1, 321, false});
    return config;
}

TEST(Lifecycle, StartGivesADeviceThatAnswers) {
    Bench bench(OneCell());
    EXPECT_FALSE(bench.Running());
    ASSERT_TRUE(bench.Start()) << bench.Error();
    EXPECT_TRUE(bench.Running());
    EXPECT_EQ(bench.DevicePath().rfind("/dev/pts/", 0), 0u) << bench.DevicePath();
    EXPECT_FALSE(bench.Start()) << "already running";
    EXPECT_FALSE(bench.Error().empty());
    PtyEnd port = PtyEnd::AsPort(bench.DevicePath());
    EXPECT_EQ(port.Exchange(ReadFrame(1), 10), ReadReply(1, 321));
}

TEST(Lifecycle, StopIsPromptWithThePortOpenAndIdempotent) {
    Config config = OneCell();
    config.stream = {'x'};
    config.streamRate = 50;
    Bench bench(config);
    ASSERT_TRUE(bench.Start());
    PtyEnd port = PtyEnd::AsPort(bench.DevicePath());
    ASSERT_TRUE(port.IsOpen());
    port.Write(ReadFrame(1));
    Clock::time_point start = Clock::now();
    bench.Stop();
    EXPECT_LT(MsSince(start), 2000);
    EXPECT_FALSE(bench.Running());
    bench.Stop();
    bench.Send({1, 2, 3}); // ignored once stopped
    EXPECT_FALSE(bench.WaitReceived(1000000, 10));
}

TEST(Lifecycle, DestructorStopsARunningBench) {
    std::string path;
    {
        Bench bench(OneCell());
        ASSERT_TRUE(bench.Start());
        path = bench.DevicePath();
        PtyEnd port = PtyEnd::AsPort(path);
        port.Write(ReadFrame(1));
    }
    // The pair is gone: the device node cannot be opened (or is someone else's by now).
    PtyEnd late = PtyEnd::AsPort(path);
    if (late.IsOpen()) SUCCEED() << "device number reused by another pseudo-terminal";
}

TEST(Lifecycle, RestartsOnANewDevice) {
    Bench bench(OneCell());
    ASSERT_TRUE(bench.Start());
    bench.Stop();
    ASSERT_TRUE(bench.Start()) << bench.Error();
    PtyEnd port = PtyEnd::AsPort(bench.DevicePath());
    EXPECT_EQ(port.Exchange(ReadFrame(0), 10), ReadReply(1, 321));
}

TEST(Lifecycle, PortClosesAndReopens) {
    Bench bench(OneCell());
    ASSERT_TRUE(bench.Start());
    for (int round = 0; round < 5; ++round) {
        PtyEnd port = PtyEnd::AsPort(bench.DevicePath());
        ASSERT_TRUE(port.IsOpen()) << "round " << round;
        EXPECT_EQ(port.Exchange(ReadFrame(1), 10), ReadReply(1, 321)) << "round " << round;
    }
    // Bytes sent while no port is open wait in the line, as on a real one.
    bench.Send({0x31, 0x32});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int fd = ::open(bench.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    pollfd pfd{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&pfd, 1, 3000), 1);
    uint8_t buf[8];
    EXPECT_EQ(::read(fd, buf, sizeof buf), 2);
    ::close(fd);
}

TEST(Lifecycle, LinkPointsAtTheDeviceAndGoesAtStop) {
    scratchtest::ScratchFolder dir("portsim-test");
    fs::path link = dir / "cell";
    fs::create_symlink("/nonexistent/stale", link);
    Bench bench(OneCell());
    ASSERT_TRUE(bench.Start(link.string())) << bench.Error();
    EXPECT_EQ(fs::read_symlink(link), bench.DevicePath()) << "the stale link is replaced";
    {
        PtyEnd port = PtyEnd::AsPort(link.string());
        EXPECT_EQ(port.Exchange(ReadFrame(1), 10), ReadReply(1, 321));
    }
    bench.Stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(Lifecycle, LinkNeverReplacesARealFile) {
    scratchtest::ScratchFolder dir("portsim-test");
    fs::path file = dir / "precious";
    std::ofstream(file) << "keep me";
    Bench bench(OneCell());
    EXPECT_FALSE(bench.Start(file.string()));
    EXPECT_NE(bench.Error().find(file.string()), std::string::npos) << bench.Error();
    EXPECT_FALSE(bench.Running());
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");

    EXPECT_FALSE(bench.Start(dir / "no/such/dir/link"));
    EXPECT_FALSE(bench.Running());
}

TEST(Lifecycle, ConcurrentCallsWhileTheLineIsBusy) {
    Config config = OneCell();
    config.echo = true;
    Bench bench(config);
    ASSERT_TRUE(bench.Start());
    PtyEnd port = PtyEnd::AsPort(bench.DevicePath());
    std::atomic<bool> done{false};
    std::thread meddler([&] {
        int i = 0;
        while (!done) {
            Config next = config;
            next.cells[0].code = static_cast<uint32_t>(i++ % 1000);
            bench.Reconfigure(next);
            (void)bench.Cells();
            (void)bench.Received();
            bench.ClearReceived();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    for (int i = 0; i < 100; ++i) {
        Bytes reply = port.Exchange(ReadFrame(1), 17);
        ASSERT_EQ(reply.size(), 17u);
        EXPECT_EQ(Bytes(reply.begin() + 7, reply.begin() + 9), (Bytes{0x02, 0x41}));
    }
    done = true;
    meddler.join();
    bench.Stop();
}

} // namespace
