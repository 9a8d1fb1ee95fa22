// check against the virtual bench: figures against an independent computation from the
// readings file, verdicts and their reasons, limits files, formats, a stop mid-run.
#include "program_run.h"
#include "record_files.h"

#include <cmath>
#include <csignal>
#include <map>
#include <regex>
#include <thread>

using namespace loadcelltest;

namespace {

struct Row {
    double seconds;
    int address;
    long code;
};

// time,address,code,status with the time as TZ=UTC writes it.
std::vector<Row> ReadingsOf(const std::string& csv) {
    std::vector<Row> rows;
    const std::regex line(R"(\d{4}-\d\d-\d\dT(\d\d):(\d\d):(\d\d\.\d{3})\+00:00,(\d+),(\d+),ok)");
    for (const std::string& text : Lines(csv)) {
        std::smatch m;
        if (!std::regex_match(text, m, line)) continue;
        rows.push_back({std::stoi(m[1]) * 3600.0 + std::stoi(m[2]) * 60.0 + std::stod(m[3]),
                        std::stoi(m[4]), std::stol(m[5])});
    }
    return rows;
}

struct Expected {
    double mean = 0, sd = 0, perMinute = 0;
    long noise = 0;
    int readings = 0;
};

Expected Compute(const std::vector<Row>& rows, int address) {
    std::vector<Row> own;
    for (const Row& row : rows)
        if (row.address == address) own.push_back(row);
    Expected e;
    e.readings = static_cast<int>(own.size());
    if (own.empty()) return e;
    long low = own[0].code, high = own[0].code;
    double t = 0;
    for (const Row& row : own) {
        e.mean += row.code;
        t += row.seconds;
        low = std::min(low, row.code);
        high = std::max(high, row.code);
    }
    e.mean /= own.size();
    t /= own.size();
    double squares = 0, sxy = 0, sxx = 0;
    for (const Row& row : own) {
        squares += (row.code - e.mean) * (row.code - e.mean);
        sxy += (row.seconds - t) * (row.code - e.mean);
        sxx += (row.seconds - t) * (row.seconds - t);
    }
    e.sd = std::sqrt(squares / own.size());
    e.perMinute = sxx > 0 ? 60 * sxy / sxx : 0;
    e.noise = high - low;
    return e;
}

// The cells of the JSON verdicts, by address: the key's text after it.
std::map<int, std::map<std::string, std::string>> JsonCells(const std::string& json) {
    std::map<int, std::map<std::string, std::string>> cells;
    const std::regex cell(R"(\{"address":(\d+),([^{}]*)\})");
    const std::regex field(R"x("([a-z_]+)":("[^"]*"|\[[^\]]*\]|[^,]*))x");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), cell);
         it != std::sregex_iterator(); ++it) {
        auto& fields = cells[std::stoi((*it)[1])];
        const std::string rest = (*it)[2];
        for (auto f = std::sregex_iterator(rest.begin(), rest.end(), field);
             f != std::sregex_iterator(); ++f)
            fields[(*f)[1]] = (*f)[2];
    }
    return cells;
}

class CheckTest : public BenchTest {
  protected:
    // Cell 3 noisy, cell 7 drifting steadily, cell 9 still; cell 5 never answers.
    static portsim::Config Line() {
        portsim::Config config;
        config.cells = {{3, 74565, false}, {7, 1000, false}, {9, 5000, false}, {5, 2000, false}};
        config.cells[0].noise = 5;
        config.cells[1].ramp = 4;
        config.cells[3].silent = true;
        config.seed = 7;
        return config;
    }
    ScratchFolder folder_;
};

TEST_F(CheckTest, FiguresAgreeWithTheReadingsItWrote) {
    StartBench(Line());
    const std::string readings = folder_ / "readings.csv";
    Outcome o = RunExpecting({"check", "3", "7", "9", "--readings", "12", "--interval", "0",
                              "--format", "json", "--readings-out", readings},
                             [](const Outcome& run) { return run.status == 0; });
    ASSERT_EQ(o.status, 0) << o.err;
    const std::vector<Row> rows = ReadingsOf(ReadFile(readings));
    ASSERT_EQ(rows.size(), 36u) << ReadFile(readings);
    EXPECT_EQ(Lines(ReadFile(readings))[0], "time,address,code,status");
    auto cells = JsonCells(o.out);
    ASSERT_EQ(cells.size(), 3u) << o.out;
    for (int address : {3, 7, 9}) {
        SCOPED_TRACE(address);
        const Expected e = Compute(rows, address);
        auto& got = cells[address];
        EXPECT_EQ(std::stoi(got["readings"]), 12);
        EXPECT_EQ(got["failed"], "0");
        EXPECT_NEAR(std::stod(got["mean"]), e.mean, 0.006);
        EXPECT_NEAR(std::stod(got["sd"]), e.sd, 0.006);
        EXPECT_EQ(std::stol(got["noise"]), e.noise);
        // The file's times are whole milliseconds; the figures' are not.
        EXPECT_NEAR(std::stod(got["drift_per_min"]), e.perMinute,
                    0.02 * std::fabs(e.perMinute) + 0.5);
        EXPECT_EQ(got["verdict"], "\"PASS\"");
    }
    // The bench's cells as set: 4 counts a read, at most 10 counts of noise, none.
    EXPECT_EQ(std::stol(cells[7]["noise"]), 44);
    EXPECT_GT(std::stod(cells[7]["drift_per_min"]), 0);
    EXPECT_LE(std::stol(cells[3]["noise"]), 10);
    EXPECT_EQ(cells[9]["sd"], "0.00");
    EXPECT_EQ(cells[9]["settle_s"], "0.00");
    EXPECT_EQ(cells[7]["settle_s"], "null"); // a steady drift never settles
}

struct VerdictCase {
    const char* name;
    std::vector<std::string> args;
    std::string limits; // a limits file's text, when not empty
    std::map<int, std::string> verdicts;
};

TEST_F(CheckTest, ACellOutsideItsLimitsFailsForItsReason) {
    const std::vector<VerdictCase> cases = {
        {"noise", {"3", "9", "--max-noise", "0"}, "", {{3, "FAIL,\"noise "}, {9, "PASS,"}}},
        {"drift", {"7", "9", "--max-drift", "30"}, "", {{7, "FAIL,\"drift "}, {9, "PASS,"}}},
        {"silent",
         {"5", "9"},
         "",
         {{5, "FAIL,\"no good reading; 5 failed readings"}, {9, "PASS,"}}},
        {"failures allowed", {"5", "--max-failures", "5"}, "", {{5, "FAIL,no good reading\n"}}},
        {"file, cell section over all",
         {"3", "7"},
         "# the line's limits\n[limits]\nmax-noise = 0\n[cell 3]\nmax-noise = 30\n",
         {{3, "PASS,"}, {7, "FAIL,\"noise "}}},
        {"option over file",
         {"3", "--max-noise", "0"},
         "[cell 3]\nmax-noise = 30\n",
         {{3, "FAIL,\"noise "}}},
    };
    StartBench(Line());
    for (const VerdictCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        for (const char* more : {"--readings", "5", "--interval", "0", "--format", "csv"})
            args.push_back(more);
        if (!c.limits.empty()) {
            WriteFile(folder_ / "limits.ini", c.limits);
            args.push_back("--limits");
            args.push_back(folder_ / "limits.ini");
        }
        Outcome o = RunExpecting(args, [&](const Outcome& run) {
            for (const auto& [address, verdict] : c.verdicts)
                if (!std::regex_search(run.out, std::regex("\n" + std::to_string(address) +
                                                           ",[^\n]*," + verdict.substr(0, 5))))
                    return false;
            return true;
        });
        bool anyFail = false;
        for (const auto& [address, verdict] : c.verdicts) {
            anyFail = anyFail || verdict.rfind("FAIL", 0) == 0;
            const std::string line = "\n" + std::to_string(address) + ",";
            const size_t at = o.out.find(line);
            ASSERT_NE(at, std::string::npos) << o.out;
            const std::string row = o.out.substr(at + 1, o.out.find('\n', at + 1) - at);
            EXPECT_TRUE(Contains(row, "," + verdict)) << row;
        }
        EXPECT_EQ(o.status, anyFail ? 2 : 0) << o.err;
    }
}

TEST_F(CheckTest, ABadLimitsFileIsNamedWithItsLineAndNothingIsRead) {
    StartBench(Line());
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[limits]\nmax-noise = lots\n", "limits.ini:2: max-noise 'lots' is not a count"},
        {"[limits]\nmax-nois = 3\n", "limits.ini:2: 'max-nois' is not one of"},
        {"[cell 300]\nmax-noise = 3\n", "limits.ini:1: [cell 300] names no address"},
        {"max-noise = 3\n", "limits.ini:1: limits go under [limits] or [cell ADDR]"},
        {"[limits\n", "limits.ini:1: a section line ends with ']'"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        WriteFile(folder_ / "limits.ini", text);
        bench_->ClearReceived();
        Outcome o = RunLoadcell(On({"check", "3", "--limits", folder_ / "limits.ini"}));
        EXPECT_EQ(o.status, 65);
        EXPECT_TRUE(Contains(o.err, message)) << o.err;
        EXPECT_TRUE(bench_->Received().empty());
    }
    Outcome o = RunLoadcell(On({"check", "3", "--limits", folder_ / "missing.ini"}));
    EXPECT_EQ(o.status, 65);
    EXPECT_TRUE(Contains(o.err, "missing.ini")) << o.err;
}

TEST_F(CheckTest, TheTableGivesEveryFigureAndTheReasons) {
    StartBench(Line());
    Outcome o = RunExpectingStatus(
        {"check", "9", "5", "--readings", "3", "--interval", "0", "--operator", "Kim"}, 2);
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 3u) << o.out;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(address +readings +failed +mean +sd +)"
                                                      R"(noise +drift/min +settle s +verdict)")));
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"( +9 +3 +0 +5000\.00 +0\.00 +0 +0\.00 +)"
                                                      R"(0\.00 +PASS)")))
        << lines[1];
    EXPECT_TRUE(
        std::regex_match(lines[2], std::regex(R"( +5 +0 +3 +- +- +- +- +- +FAIL: no )"
                                              R"(good reading; 3 failed readings, above 0)")))
        << lines[2];
}

TEST_F(CheckTest, ATerminalSeesTheScansProgressLineAndAPipeDoesNot) {
    StartBench(Line());
    RunSettings terminal;
    terminal.stderrOnTerminal = true;
    Outcome o =
        Program(On({"check", "9", "3", "--readings", "2", "--interval", "0"}), terminal).Finish();
    EXPECT_TRUE(Contains(o.err, "check [############............] address 3 (2 of 4)")) << o.err;
    EXPECT_TRUE(Contains(o.err, "check [########################] address 3 (4 of 4)")) << o.err;
    EXPECT_EQ(o.err.substr(o.err.size() - 4), "\r\033[K");
    EXPECT_TRUE(Contains(o.out, "verdict\n"));
    o = RunLoadcell(On({"check", "9", "--readings", "2", "--interval", "0"}));
    EXPECT_FALSE(Contains(o.err, "check [")) << o.err;
}

TEST_F(CheckTest, CtrlCWritesThePartialRecordAndSaysSo) {
    StartBench(Line());
    const std::string readings = folder_ / "readings.csv", report = folder_ / "report.html";
    Program program(On({"check", "9", "--readings", "100000", "--interval", "20", "--readings-out",
                        readings, "--report", report, "--format", "json"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    program.Signal(SIGINT);
    Outcome o = program.Finish();
    EXPECT_EQ(o.status, 130);
    EXPECT_TRUE(Contains(o.out, "\"complete\":false,\"stopped\":\"stopped by signal 2 after "))
        << o.out;
    EXPECT_TRUE(Contains(o.err, "the record is partial")) << o.err;
    EXPECT_TRUE(Contains(o.err, "written as it stands")) << o.err;
    const std::vector<Row> rows = ReadingsOf(ReadFile(readings));
    EXPECT_FALSE(rows.empty());
    EXPECT_TRUE(Contains(o.out, "\"readings\":" + std::to_string(rows.size()) + ",")) << o.out;
    EXPECT_TRUE(Contains(ReadFile(report), "Partial record: stopped by signal 2"));
}

TEST_F(CheckTest, ALostPortEndsTheCheckWithItsRecord) {
    StartBench(Line());
    const std::string report = folder_ / "report.html";
    Program program(
        On({"check", "9", "--readings", "100000", "--interval", "20", "--report", report}));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    bench_.reset(); // the device goes away
    Outcome o = program.Finish();
    EXPECT_EQ(o.status, 74) << o.err;
    EXPECT_TRUE(Contains(o.err, "the port was lost")) << o.err;
    EXPECT_TRUE(Contains(o.out, "partial record: the port was lost")) << o.out;
    EXPECT_TRUE(Contains(ReadFile(report), "Partial record: the port was lost"));
}

TEST_F(CheckTest, TheReportStandsAlone) {
    StartBench(Line());
    const std::string report = folder_ / "report.html";
    Outcome o = RunExpectingStatus({"check", "3", "7", "--readings", "6", "--interval", "0",
                                    "--max-drift", "30", "--report", report, "--operator",
                                    "Kim <night shift>", "--params", "9600,n,8,1"},
                                   2);
    const std::string html = ReadFile(report);
    for (const char* outside : {"<script", "src=", "href=", "@import", "url(", "<link"})
        EXPECT_FALSE(Contains(html, outside)) << outside;
    EXPECT_EQ(std::count(html.begin(), html.end(), '\n') > 10, true);
    for (const char* part :
         {"<svg", "class=\"mean\"", "class=\"band\"", "Address 3: <span",
          "Address 7: <span class=\"fail\">FAIL", "drift ", "Kim &lt;night shift&gt;", "9600,n,8,1",
          "loadcell (PortBench) " LOADCELL_VERSION, "@media print", "size: A4"})
        EXPECT_TRUE(Contains(html, part)) << part;
    // One plot a cell, each with its codes drawn as a line through them.
    size_t plots = 0;
    for (size_t at = 0; (at = html.find("<polyline class=\"codes\"", at)) != std::string::npos;
         ++at)
        ++plots;
    EXPECT_EQ(plots, 2u);
}

TEST_F(CheckTest, AFullDiskForTheReportIsAnErrorNotASuccess) {
    StartBench(Line());
    Outcome o = RunExpectingStatus(
        {"check", "9", "--readings", "2", "--interval", "0", "--report", "/dev/full/report.html"},
        73);
    EXPECT_EQ(o.status, 73);
    EXPECT_TRUE(Contains(o.err, "cannot")) << o.err;
    EXPECT_TRUE(Contains(o.out, "PASS")); // the verdicts still came
}

} // namespace
