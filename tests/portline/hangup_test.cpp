// The device goes away in the middle of a send or of a load-cell exchange, after it has
// taken the request and perhaps begun its answer, as a USB adapter pulled out does.
#include "poll_helpers.h"
#include "portline.h"
#include "pty_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>

using namespace ptytest;

namespace {

TEST(DeviceGoneMidExchange, TheCallEndsWithWhatCameAndTheDeadPortStaysSafe) {
    const struct {
        const char* name;
        size_t request;      // bytes the device takes before it answers
        std::string partial; // what it sends before it goes away
        std::function<std::string()> call;
        std::set<std::string> allowed; // the results the call may give
    } rows[] = {
        {"send, silent", 4, "", [] { return std::string(WriteSendData("ping")); }, {""}},
        {"send, half a reply",
         4,
         "po",
         [] { return std::string(WriteSendData("ping")); },
         {"", "po"}},
        {"read address",
         7,
         "\x02",
         [] { return std::to_string(QuillReadLoadCell(1)); },
         {"0", "-64"}},
        {"read value",
         7,
         "\x02\x41\x30",
         [] { return std::to_string(QuillReadLoadCellValue(1)); },
         {"-65535", std::to_string(-0x30 * (1 + 16 + 256 + 4096 + 65536))}}, // no digits came
        {"write address", 7, "", [] { return std::to_string(QuillWriteLoadCell(2)); }, {"0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PtyDevice device;
        ASSERT_EQ(OpenPort(device.Path().c_str(), "9600,n,8,1", 1), 1);
        Settle();
        ReadAllPort();
        std::thread away([&] {
            device.Receive(row.request, 5000);
            if (!row.partial.empty()) device.Send(row.partial);
            device.Hangup();
        });
        const std::string result = row.call();
        away.join();
        EXPECT_TRUE(row.allowed.count(result)) << result;

        // Every call on the dead port gives its no-reply result, and the close is prompt.
        EXPECT_STREQ(WriteSendData("again"), "");
        EXPECT_EQ(QuillReadLoadCell(1), 0);
        EXPECT_EQ(QuillReadLoadCellValue(1), PORTLINE_CELL_NO_VALUE);
        EXPECT_EQ(QuillWriteLoadCell(1), 0);
        EXPECT_EQ(SetDTR(1), 1);
        EXPECT_EQ(Joined(PollTexts(1, 700)), "");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ClosePort(), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    }
    PtyDevice fresh;
    fresh.StartEcho();
    ASSERT_EQ(OpenPort(fresh.Path().c_str(), "9600,n,8,1", 1), 1);
    EXPECT_STREQ(WriteSendData("back"), "back");
    EXPECT_EQ(ClosePort(), 0);
}

} // namespace
