// A minute of steady traffic at 9600 baud, polled as the host program polls: every byte
// is handed on once, in order, none twice and none skipped.
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace ptytest;

namespace {

TEST(Stream, AMinuteAt960BytesPerSecondArrivesWholeAndInOrder) {
    constexpr double kBytesPerSecond = 960;
    constexpr auto kDuration = std::chrono::seconds(60);

    PtyDevice device;
    ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
    Settle();
    ReadAllPort();

    std::string sent;
    std::atomic<bool> done{false};
    // The device paces itself: every 20 ms it sends what the line would have carried.
    std::thread sender([&] {
        sent = device.SendSteadyStream(kBytesPerSecond, kDuration, 20);
        done = true;
    });

    std::string received;
    size_t largest = 0;
    while (!done) {
        std::string text = ReadAllPort();
        largest = std::max(largest, text.size());
        received += text;
        SleepMs(140);
    }
    sender.join();
    auto texts = PollTexts(sent.size() - std::min(sent.size(), received.size()), 10000);
    received += Joined(texts);

    EXPECT_GE(sent.size(), 55000u);
    ASSERT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent) << "bytes out of order, doubled or replaced";
    EXPECT_LE(largest, 255u);
    EXPECT_EQ(ClosePort(), 0);
}

} // namespace
