// The modem-control lines under Wine; sending, as on Linux, is in
// tests/shared/transmit_cases.h.
#include "device_agent.h"
#include "portline.h"
#include "process_probe.h"

#include <gtest/gtest.h>

using namespace wintest;

namespace {

// The line settings are read back from the held port: switching a modem line leaves
// them as they were.
TEST(ModemLines, DtrAndRtsLeaveTheLineSettingsAlone) {
    BenchOnCom bench("--echo");
    ASSERT_TRUE(bench.opened);
    ASSERT_EQ(SetupPort("19200,n,8,2"), 1);
    const DCB before = HeldPortState();
    for (int32_t flag : {1, 0, 256, 257}) {
        EXPECT_EQ(SetDTR(flag), 1);
        EXPECT_EQ(SetRTS(flag), 1);
        const DCB after = HeldPortState();
        EXPECT_EQ(after.BaudRate, before.BaudRate);
        EXPECT_EQ(after.StopBits, before.StopBits);
        EXPECT_EQ(after.ByteSize, before.ByteSize);
        EXPECT_EQ(after.Parity, before.Parity);
    }
    EXPECT_STREQ(WriteSendData("still"), "still");
}

} // namespace
