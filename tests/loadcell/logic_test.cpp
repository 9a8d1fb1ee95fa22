// The parts of loadcell that need no port: arguments, statistics, formats, outcomes.
#include "formats.h"
#include "options.h"
#include "outcomes.h"
#include "port_probe.h"
#include "portline.h"
#include "statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

using namespace loadcell;

namespace {

Invocation Parsed(const std::vector<std::string>& args, const char* environmentPort = nullptr) {
    Invocation inv;
    std::string error;
    EXPECT_TRUE(ParseArguments(args, environmentPort, inv, error)) << error;
    return inv;
}

TEST(Arguments, OptionsGoBeforeOrAfterTheCommandInEitherForm) {
    Invocation inv = Parsed({"--port=/dev/ttyUSB0", "read", "3", "0", "191", "--count", "4",
                             "--interval=250", "--format", "csv", "--params", "19200,e,7,1"});
    EXPECT_EQ(inv.command, Command::Read);
    EXPECT_EQ(inv.port, "/dev/ttyUSB0");
    EXPECT_EQ(inv.params, "19200,e,7,1");
    EXPECT_EQ(inv.addresses, (std::vector<int>{3, 0, 191}));
    EXPECT_EQ(inv.count, 4);
    EXPECT_EQ(inv.intervalMs, 250);
    EXPECT_EQ(inv.format, Format::Csv);
}

TEST(Arguments, DefaultsAndTheEnvironmentPort) {
    Invocation inv = Parsed({"scan"}, "COM3");
    EXPECT_EQ(inv.port, "COM3");
    EXPECT_EQ(inv.params, "9600,n,8,1");
    EXPECT_EQ(inv.from, 1);
    EXPECT_EQ(inv.to, 12);
    // --port wins over the environment.
    EXPECT_EQ(Parsed({"address", "--port", "ttyUSB1"}, "COM3").port, "ttyUSB1");
    inv = Parsed({"read", "5"}, "COM3");
    EXPECT_EQ(inv.count, 1);
    EXPECT_FALSE(inv.follow);
    EXPECT_EQ(inv.intervalMs, 1000);
    EXPECT_EQ(inv.format, Format::Text);
    EXPECT_EQ(Parsed({"assign", "191", "--from", "100", "--to", "120"}, "x").newAddress, 191);
}

TEST(Arguments, HelpNeedsNoPortAndKnowsItsCommand) {
    Invocation inv = Parsed({"assign", "--help"});
    EXPECT_TRUE(inv.help);
    EXPECT_EQ(inv.command, Command::Assign);
    EXPECT_EQ(Parsed({"-h"}).command, Command::None);
}

TEST(Arguments, SendBytesJoinAllTheirArguments) {
    Invocation inv = Parsed({"send", "02 52,44", "5", "412A0d"}, "x");
    EXPECT_EQ(inv.bytes, (std::vector<uint8_t>{0x02, 0x52, 0x44, 0x05, 0x41, 0x2A, 0x0D}));
    EXPECT_EQ(Parsed({"send", std::string(510, 'f')}, "x").bytes.size(), 255u);
}

TEST(Arguments, NumbersAreWholeDecimals) {
    EXPECT_EQ(ParseInteger("42"), 42);
    EXPECT_EQ(ParseInteger("-7"), -7);
    for (const char* text : {"", " 4", "4 ", "0x10", "1e3", "+-1", "99999999999999999999"})
        EXPECT_FALSE(ParseInteger(text)) << text;
}

TEST(Statistics, MatchTheirDefinitions) {
    CellStatistics s;
    for (int32_t code : {10, 14, 8, 12})
        s.AddReading(code);
    s.AddFailure();
    EXPECT_EQ(s.Readings(), 4);
    EXPECT_EQ(s.Failed(), 1);
    EXPECT_EQ(s.Minimum(), 8);
    EXPECT_EQ(s.Maximum(), 14);
    EXPECT_DOUBLE_EQ(s.Mean(), 11);
    EXPECT_DOUBLE_EQ(s.StandardDeviation(), std::sqrt(5.0)); // (1 + 9 + 9 + 1) / 4
    EXPECT_EQ(s.Drift(), 2);
}

TEST(Statistics, StayExactOverLongRunsOfLargeCodes) {
    CellStatistics s;
    for (int i = 0; i < 1000000; ++i)
        s.AddReading(1048575 - (i % 2)); // alternating: sd 0.5
    EXPECT_NEAR(s.Mean(), 1048574.5, 1e-6);
    EXPECT_NEAR(s.StandardDeviation(), 0.5, 1e-6);
    EXPECT_EQ(s.Drift(), -1);
    CellStatistics one;
    one.AddReading(-0);
    EXPECT_EQ(one.StandardDeviation(), 0);
}

TEST(Formats, IsoTimeHasMillisecondsAndTheOffset) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "CET-1", 1);
    ::tzset();
    // 2026-12-08 13:40:00.123 UTC
    const auto when =
        std::chrono::system_clock::time_point(std::chrono::milliseconds(1796737200123LL));
    EXPECT_EQ(IsoTime(when), "2026-12-08T14:40:00.123+01:00");
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(IsoTime(when), "2026-12-08T13:40:00.123+00:00");
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(Formats, HexIsTwoUpperCaseDigitsAByte) {
    EXPECT_EQ(HexText(std::string("\x02\x4f\xff\x0a", 4)), "02 4F FF 0A");
    EXPECT_EQ(HexText(""), "");
}

TEST(Outcomes, AddressResults) {
    EXPECT_TRUE(IsCellAddress(1));
    EXPECT_TRUE(IsCellAddress(191));
    for (int32_t r : {0, -1, -64, 192})
        EXPECT_FALSE(IsCellAddress(r)) << r;
    EXPECT_EQ(WhyNoAddress(0), "no reply");
    EXPECT_EQ(WhyNoAddress(-1), "a reply without a start byte");
    EXPECT_EQ(WhyNoAddress(PORTLINE_CELL_NO_ADDRESS), "a reply that ends with its start byte");
    EXPECT_EQ(WhyNoAddress(-20), "a reply with no valid address (result -20)");
}

TEST(Outcomes, ReadingsOutsideTwentyBitsFailed) {
    EXPECT_EQ(JudgeReading(0), Reading::Good);
    EXPECT_EQ(JudgeReading(1048575), Reading::Good);
    EXPECT_EQ(JudgeReading(PORTLINE_CELL_NO_VALUE), Reading::NoReply);
    EXPECT_EQ(JudgeReading(-3355440), Reading::Garbled);
    EXPECT_EQ(JudgeReading(1048576), Reading::Garbled);
}

TEST(Outcomes, EachRowOfTheWriteTable) {
    EXPECT_EQ(JudgeWrite(PORTLINE_CELL_WRITE_ACCEPTED, 5), Write::Accepted);
    EXPECT_EQ(JudgeWrite(5, 5), Write::Confirmed);
    EXPECT_EQ(JudgeWrite(9, 5), Write::OtherAddress);
    EXPECT_EQ(JudgeWrite(191, 5), Write::OtherAddress);
    EXPECT_EQ(JudgeWrite(-64, 5), Write::NoAddress);
    EXPECT_EQ(JudgeWrite(-1, 5), Write::NoAddress);
    EXPECT_EQ(JudgeWrite(0, 5), Write::Unanswered);

    // Exit statuses follow the write; a good write that the read-back does not bear out is 7.
    EXPECT_EQ(JudgeAssign(PORTLINE_CELL_WRITE_ACCEPTED, 5, 5).status, kExitOk);
    EXPECT_EQ(JudgeAssign(5, 5, 5).status, kExitOk);
    EXPECT_EQ(JudgeAssign(PORTLINE_CELL_WRITE_ACCEPTED, 0, 5).status, kExitNotAtNewAddress);
    EXPECT_EQ(JudgeAssign(5, 3, 5).status, kExitNotAtNewAddress);
    EXPECT_EQ(JudgeAssign(9, 0, 5).status, kExitWriteOtherAddress);
    EXPECT_EQ(JudgeAssign(-64, 0, 5).status, kExitWriteNoAddress);
    EXPECT_EQ(JudgeAssign(0, 0, 5).status, kExitWriteUnanswered);
    // The read-back explains what it found, and a lost answer is told apart.
    EXPECT_EQ(JudgeAssign(5, 3, 5).lines[1],
              "read-back: no cell answers at address 5 (address 3 answered)");
    EXPECT_EQ(JudgeAssign(0, 5, 5).error,
              "the write got no answer, yet the cell answers at address 5: its answer was lost");
}

TEST(Outcomes, RefusalNamesTheAddresses) {
    EXPECT_EQ(AddressList({3}), "3");
    EXPECT_EQ(AddressList({3, 7}), "3 and 7");
    EXPECT_EQ(AddressList({1, 2, 12}), "1, 2 and 12");
    EXPECT_EQ(RefusalText({1, 2, 12}).substr(0, 45),
              "refused: 3 cells answer (at addresses 1, 2 an");
}

// The device a port name stands for is the one the library opens, so that the probe
// and the watch of a lost port look at that device.
TEST(PortNames, MeanTheDeviceTheLibraryOpens) {
    const struct {
        const char* name;
        const char* device;
    } names[] = {
        {"COM1", "/dev/ttyS0"},
        {"com3", "/dev/ttyS2"},
        {"COM0012", "/dev/ttyS11"},
        {"COM999999999", "/dev/ttyS999999998"},
        {"COM0", "/dev/COM0"},
        {"COM", "/dev/COM"},
        {"COMX", "/dev/COMX"},
        {"COM+1", "/dev/COM+1"},
        {"COM 1", "/dev/COM 1"},
        {"COM1234567890", "/dev/COM1234567890"},
        {"ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/7", "/dev/pts/7"},
        {"serial/by-id/x", "/dev/serial/by-id/x"},
    };
    for (const auto& row : names)
        EXPECT_EQ(PortDevice(row.name), row.device) << row.name;
}

} // namespace
