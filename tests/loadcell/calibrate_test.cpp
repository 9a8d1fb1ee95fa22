// calibrate against the virtual bench: a zero and a span from two runs give the
// expected weights; bad input is refused with nothing written; assign takes the
// calibration along.
#include "program_run.h"
#include "record_files.h"

#include <regex>

using namespace loadcelltest;

namespace {

class CalibrateTest : public BenchTest {
  protected:
    void SetCode(uint32_t code, int noise = 0) {
        config_.cells.at(0).code = code;
        config_.cells.at(0).noise = noise;
        bench_->Reconfigure(config_);
    }
    Outcome Run(std::vector<std::string> args, int status) {
        for (const char* more : {"--readings", "8", "--interval", "0"})
            args.push_back(more);
        args.push_back("--calibration");
        args.push_back(File());
        return RunExpectingStatus(args, status);
    }
    std::string File() const { return folder_ / "calibration.ini"; }
    ScratchFolder folder_;
};

TEST_F(CalibrateTest, AZeroAndASpanFromTwoRunsGiveTheExpectedWeight) {
    StartBench(Cells({3}));
    SetCode(10000);
    Outcome zero = Run({"calibrate", "3", "--zero"}, 0);
    ASSERT_EQ(zero.status, 0) << zero.err;
    EXPECT_TRUE(Contains(zero.out, "address 3: zero: code 10000.00 (sd 0.00")) << zero.out;
    SetCode(60000, 2);
    Outcome span = Run({"calibrate", "3", "--span", "10", "--unit", "kg"}, 0);
    ASSERT_EQ(span.status, 0) << span.err;
    // 10 kg over about 50000 counts; the noise of the span shows in the uncertainty.
    EXPECT_TRUE(std::regex_search(span.out, std::regex(R"(factor: 0\.0002\d* kg/count, )"
                                                       R"(uncertainty [0-9.e-]+ )")))
        << span.out;
    const std::string file = ReadFile(File());
    for (const char* part : {"[cell 3]", "zero = 10000.000", "zero-readings = 8", "zero-date = ",
                             "span-weight = 10.000000", "unit = kg", "span-date = "})
        EXPECT_TRUE(Contains(file, part)) << part << "\n" << file;

    SetCode(35000);
    Outcome csv = RunExpecting({"read", "3", "--units", "--format", "csv", "--calibration", File()},
                               [](const Outcome& run) { return run.status == 0; });
    ASSERT_EQ(Lines(csv.out).size(), 2u) << csv.out << csv.err;
    EXPECT_EQ(Lines(csv.out)[0], "time,address,kg,status");
    EXPECT_TRUE(std::regex_search(csv.out, std::regex(R"(,3,5\.0\d{3},ok)"))) << csv.out;
    Outcome json =
        RunExpecting({"read", "3", "--units", "--format", "jsonl", "--calibration", File()},
                     [](const Outcome& run) { return run.status == 0; });
    EXPECT_TRUE(std::regex_search(json.out, std::regex(R"("address":3,"kg":5\.0\d{3},)")))
        << json.out;
    Outcome check = RunExpecting({"check", "3", "--units", "--readings", "3", "--interval", "0",
                                  "--format", "json", "--calibration", File()},
                                 [](const Outcome& run) { return run.status == 0; });
    EXPECT_TRUE(std::regex_search(check.out, std::regex(R"("mean_kg":5\.0\d{3},"sd_kg":0\.0000,)")))
        << check.out;
}

TEST_F(CalibrateTest, BadInputIsRefusedWithAClearMessageAndNothingWritten) {
    StartBench(Cells({3}));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        uint32_t code;
        int noise;
        int status;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"span of 0", {"--span", "0"}, 60000, 0, 64, "--span: '0' is not a weight above 0"},
        {"negative span", {"--span", "-5"}, 60000, 0, 64, "is not a weight above 0"},
        {"span before any zero", {"--span", "10"}, 60000, 0, 8, "has no zero in"},
        {"unsteady zero", {"--zero"}, 10000, 40, 8, "the readings are not steady (noise "},
        {"both", {"--zero", "--span", "3"}, 10000, 0, 64, "either --zero"},
        {"neither", {}, 10000, 0, 64, "either --zero"},
        {"unit without span", {"--zero", "--unit", "kg"}, 10000, 0, 64, "--unit goes with --span"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetCode(c.code, c.noise);
        std::vector<std::string> args = {"calibrate", "3"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Outcome o = Run(args, c.status);
        EXPECT_EQ(o.status, c.status);
        EXPECT_TRUE(Contains(o.err, c.message)) << o.err;
        EXPECT_FALSE(Exists(File()));
    }
    // A span no different from the zero leaves the zero as it was.
    SetCode(10000);
    ASSERT_EQ(Run({"calibrate", "3", "--zero"}, 0).status, 0);
    const std::string before = ReadFile(File());
    Outcome same = Run({"calibrate", "3", "--span", "10"}, 8);
    EXPECT_EQ(same.status, 8);
    EXPECT_TRUE(Contains(same.err, "the span code 10000.00 is no different from the zero code"))
        << same.err;
    EXPECT_TRUE(Contains(same.err, "nothing written"));
    EXPECT_EQ(ReadFile(File()), before);
}

TEST_F(CalibrateTest, UnitsWithoutACalibrationNameTheCell) {
    StartBench(Cells({3, 4}));
    SetCode(10000);
    ASSERT_EQ(Run({"calibrate", "3", "--zero"}, 0).status, 0);
    for (const char* command : {"read", "check"}) {
        SCOPED_TRACE(command);
        Outcome o = RunLoadcell(On({command, "4", "--units", "--calibration", File()}));
        EXPECT_EQ(o.status, 65);
        EXPECT_TRUE(Contains(o.err, "address 4 has no calibration in " + File())) << o.err;
        o = RunLoadcell(On({command, "3", "--units", "--calibration", File()}));
        EXPECT_EQ(o.status, 65);
        EXPECT_TRUE(Contains(o.err, "--span W: its zero is there")) << o.err;
    }
    WriteFile(File(), "[cell 3]\nzero = many\n");
    Outcome o = RunLoadcell(On({"read", "3", "--units", "--calibration", File()}));
    EXPECT_EQ(o.status, 65);
    EXPECT_TRUE(Contains(o.err, "calibration.ini:1: zero, zero-sd and zero-readings")) << o.err;
}

TEST_F(CalibrateTest, TheUsersOwnFileIsUnderTheConfigFolder) {
    StartBench(Cells({3}));
    SetCode(10000);
    RunSettings settings;
    settings.environment = {{"XDG_CONFIG_HOME", folder_.Path()}};
    Outcome o;
    for (int attempt = 0; attempt < 5 && o.status != 0; ++attempt)
        o = RunLoadcell(On({"calibrate", "3", "--zero", "--readings", "3", "--interval", "0"}),
                        settings);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(Contains(ReadFile(folder_ / "PortBench/loadcell-calibration.ini"), "[cell 3]"));
    // Written whole: no temporary file stays beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "PortBench"),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST_F(CalibrateTest, AssignTakesTheCalibrationToTheNewAddressUnlessKept) {
    StartBench(Cells({3}));
    const std::string calibration = "[cell 3]\nzero = 1000\nzero-sd = 0\nzero-readings = 5\n";
    WriteFile(File(), calibration);
    Outcome kept = RunExpectingStatus(
        {"assign", "5", "--to", "6", "--keep-calibration", "--calibration", File()}, 0);
    EXPECT_TRUE(Contains(kept.out, "calibration: kept under address 3 (--keep-calibration); "
                                   "address 5 has none"))
        << kept.out << kept.err;
    EXPECT_EQ(ReadFile(File()), calibration);

    WriteFile(File(), "[cell 5]\nzero = 1000\nzero-sd = 0\nzero-readings = 5\n");
    Outcome moved = RunExpectingStatus({"assign", "4", "--to", "6", "--calibration", File()}, 0);
    EXPECT_TRUE(Contains(moved.out, "calibration: moved from address 5 to 4\n"))
        << moved.out << moved.err;
    const std::string after = ReadFile(File());
    EXPECT_TRUE(Contains(after, "[cell 4]\nzero = 1000.000\n")) << after;
    EXPECT_FALSE(Contains(after, "[cell 5]")) << after;
}

} // namespace
