// The check's HTML record in a real browser: headless Chromium draws it on screen and
// prints it, and the pictures show what the record says.
#include "program_run.h"
#include "record_files.h"
#include "shell_output.h"

#include <regex>

using namespace loadcelltest;

namespace {

// Width and height from a PNG's header chunk; 0 when it is no PNG.
std::pair<unsigned, unsigned> PngSize(const std::string& png) {
    if (png.size() < 24 || png.compare(1, 3, "PNG") != 0 || png.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto word = [&](size_t at) {
        unsigned value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = value << 8 | static_cast<unsigned char>(png[at + i]);
        return value;
    };
    return {word(16), word(20)};
}

class ReportBrowserTest : public BenchTest {
  protected:
    void SetUp() override {
        if (Shell("command -v chromium").empty())
            GTEST_SKIP() << "chromium is not installed (scripts/setup.sh installs it)";
    }
    // Bounded: a browser that hangs fails the test instead of holding the run.
    std::string Chromium(const std::string& what) {
        return Shell("timeout 60 chromium --headless --no-sandbox --disable-gpu "
                     "--hide-scrollbars --no-first-run --user-data-dir='" +
                     folder_ / "profile" + "' " + what + " 2>&1");
    }
    ScratchFolder folder_;
};

TEST_F(ReportBrowserTest, ChromiumShowsAndPrintsTheRecordOnA4) {
    portsim::Config config;
    config.cells = {{3, 74565, false}, {7, 1000, false}};
    config.cells[1].ramp = 5;
    StartBench(config);
    const std::string report = folder_ / "report.html";
    Outcome o = RunExpectingStatus({"check", "3", "7", "--readings", "10", "--interval", "0",
                                    "--max-drift", "30", "--report", report, "--operator", "Kim"},
                                   2);
    ASSERT_EQ(o.status, 2) << o.err;
    ASSERT_TRUE(Exists(report));

    const std::string shot = folder_ / "report.png";
    Chromium("--window-size=800,1200 --screenshot='" + shot + "' 'file://" + report + "'");
    const std::string png = ReadFile(shot);
    EXPECT_EQ(PngSize(png), std::make_pair(800u, 1200u));
    if (!Shell("command -v convert").empty()) {
        // The verdicts' own colours are drawn: cell 3's PASS green, cell 7's FAIL red,
        // and the plots' lines blue.
        const std::string colours = Shell("convert '" + shot + "' -format %c histogram:info:-");
        for (const char* colour : {"#0A6B1F", "#B00020", "#1F4E8C"})
            EXPECT_TRUE(Contains(colours, colour)) << colour << "\n" << o.out;
    }

    const std::string pdf = folder_ / "report.pdf";
    Chromium("--no-pdf-header-footer --print-to-pdf='" + pdf + "' 'file://" + report + "'");
    const std::string printed = ReadFile(pdf);
    ASSERT_EQ(printed.rfind("%PDF", 0), 0u) << "no PDF came";
    // Every page is A4, 595 x 842 points, whatever the browser's default paper.
    const std::regex box(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
    size_t pages = 0;
    for (auto it = std::sregex_iterator(printed.begin(), printed.end(), box);
         it != std::sregex_iterator(); ++it, ++pages) {
        EXPECT_NEAR(std::stod((*it)[1]), 595.3, 2);
        EXPECT_NEAR(std::stod((*it)[2]), 841.9, 2);
    }
    EXPECT_GE(pages, 1u);
}

} // namespace
