// read against the virtual bench: the three formats, failed readings, the summary, Ctrl-C.
#include "program_run.h"

#include <regex>

#include <termios.h>

using namespace loadcelltest;

namespace {

portsim::Config TwoCells() {
    portsim::Config config;
    config.cells = {{3, 74565, false}, {7, 1000, false}};
    return config;
}

const std::string kTime = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}\+00:00)";

bool AllMatch(const std::vector<std::string>& lines, const std::vector<std::string>& patterns) {
    if (lines.size() != patterns.size()) return false;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!std::regex_match(lines[i], std::regex(patterns[i]))) return false;
    return true;
}

using ReadTest = BenchTest;

// Each format: a line per reading (a failed one with an empty or null code), then on
// stderr a summary per cell in the same format.
TEST_F(ReadTest, EachFormatCarriesTimeAddressCodeAndASummaryPerCell) {
    const struct {
        const char* format;
        std::vector<std::string> args;
        std::vector<std::string> lines; // patterns
        int status;
        std::string summary;
    } formats[] = {
        {"text",
         {"read", "3", "7", "--count", "2", "--interval", "0"},
         {kTime + " 3 74565", kTime + " 7 1000", kTime + " 3 74565", kTime + " 7 1000"},
         0,
         "address 3: readings 2, failed 0, min 74565, max 74565, mean 74565.00, "
         "sd 0.00, drift 0\n"
         "address 7: readings 2, failed 0, min 1000, max 1000, mean 1000.00, "
         "sd 0.00, drift 0\n"},
        {"csv",
         {"read", "3", "9", "--format", "csv", "--interval", "0"},
         {"time,address,code,status", kTime + ",3,74565,ok", kTime + ",9,,no reply"},
         1, // a reading failed
         "address,readings,failed,min,max,mean,sd,drift\n"
         "3,1,0,74565,74565,74565.00,0.00,0\n"
         "9,0,1,,,,,\n"},
        {"jsonl",
         {"read", "7", "8", "--format=jsonl"},
         {R"(\{"time":")" + kTime + R"(","address":7,"code":1000,"status":"ok"\})",
          R"(\{"time":")" + kTime + R"(","address":8,"code":null,"status":"no reply"\})"},
         1,
         "{\"address\":7,\"readings\":1,\"failed\":0,\"min\":1000,\"max\":1000,"
         "\"mean\":1000.00,\"sd\":0.00,\"drift\":0}\n"
         "{\"address\":8,\"readings\":0,\"failed\":1,\"min\":null,\"max\":null,"
         "\"mean\":null,\"sd\":null,\"drift\":null}\n"},
    };
    for (const auto& row : formats) {
        SCOPED_TRACE(row.format);
        StartBench(TwoCells());
        const std::vector<std::string>& expected = row.lines;
        Outcome o = RunExpecting(
            row.args, [&](const Outcome& run) { return AllMatch(Lines(run.out), expected); });
        EXPECT_TRUE(AllMatch(Lines(o.out), expected)) << o.out;
        EXPECT_EQ(o.status, row.status);
        EXPECT_EQ(o.err, row.summary);
    }
}

TEST_F(ReadTest, AGarbledCodeIsAFailedReadingNotANumber) {
    portsim::Config config;
    config.fixedReply = portsim::Bytes{0x02, 0x41}; // decodes to -3355440
    StartBench(config);
    Outcome o = RunExpecting({"read", "1"}, [](const Outcome& run) {
        return Contains(run.out, " 1 failed (garbled reply)\n");
    });
    EXPECT_TRUE(std::regex_match(o.out, std::regex(kTime + " 1 failed \\(garbled reply\\)\n")))
        << o.out;
    EXPECT_FALSE(Contains(o.out + o.err, "3355440"));
    EXPECT_EQ(o.status, 1);
}

TEST_F(ReadTest, TheSummaryFollowsAWanderingCode) {
    portsim::Config config;
    config.cells = {{4, 500000, true}};
    StartBench(config);
    Outcome o = RunExpectingStatus({"read", "4", "--count", "12", "--interval", "0"}, 0);
    ASSERT_EQ(o.status, 0);
    std::vector<long long> codes;
    for (const std::string& line : Lines(o.out))
        codes.push_back(std::stoll(line.substr(line.rfind(' ') + 1)));
    ASSERT_EQ(codes.size(), 12u);
    const long long lowest = *std::min_element(codes.begin(), codes.end());
    const long long highest = *std::max_element(codes.begin(), codes.end());
    const long long drift = codes.back() - codes.front();
    EXPECT_TRUE(Contains(o.err, "address 4: readings 12, failed 0, min " + std::to_string(lowest) +
                                    ", max " + std::to_string(highest)))
        << o.err;
    EXPECT_TRUE(Contains(o.err, "drift " + std::string(drift > 0 ? "+" : "") +
                                    std::to_string(drift) + "\n"))
        << o.err;
}

TEST_F(ReadTest, RoundsKeepTheirInterval) {
    StartBench(TwoCells());
    Outcome o = RunExpectingStatus({"read", "3", "--count", "3", "--interval", "300"}, 0);
    ASSERT_EQ(o.status, 0);
    std::vector<std::string> lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 3u);
    auto millis = [](const std::string& line) { // seconds and milliseconds of the stamp
        return std::stoi(line.substr(17, 2)) * 1000 + std::stoi(line.substr(20, 3));
    };
    for (size_t i = 1; i < lines.size(); ++i) {
        const int gap = (millis(lines[i]) - millis(lines[i - 1]) + 60000) % 60000;
        EXPECT_GE(gap, 290) << lines[i - 1] << " / " << lines[i];
    }
}

// Ctrl-C ends a followed run normally: the summary comes and the port is closed,
// which puts back the settings the device had before it was opened.
TEST_F(ReadTest, CtrlCEndsAFollowWithTheSummaryAndClosesThePort) {
    StartBench(TwoCells());
    const termios before = PresetForeignSettings();
    ASSERT_TRUE(before.c_lflag & ICANON);
    Program run(On({"read", "3", "--follow", "--interval", "0"}));
    ASSERT_TRUE(run.WaitForLines(3));
    run.Signal(SIGINT);
    Outcome o = run.Finish();
    const size_t lines = Lines(o.out).size();
    EXPECT_GE(lines, 3u);
    // A reading the loaded machine let slip past its window counts as failed.
    std::smatch summary;
    ASSERT_TRUE(std::regex_match(o.err, summary,
                                 std::regex("address 3: readings (\\d+), failed (\\d+), .*\n")))
        << o.err;
    EXPECT_EQ(std::stoul(summary[1]) + std::stoul(summary[2]), lines);
    EXPECT_EQ(o.status, 130); // 128 + SIGINT: stopped, not completed

    const termios after = DeviceSettings();
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(::cfgetospeed(&after), B1200);
}

} // namespace
