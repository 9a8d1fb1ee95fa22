// The portsim program: its command line, its first line and its clean exit.
#include "portsim_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <vector>

using namespace portsim;
using namespace portsim::testing;
namespace fs = std::filesystem;

namespace {

TEST(Program, HelpExplainsTheOptions) {
    Program program({"--help"});
    std::string text = program.Out();
    EXPECT_EQ(program.Wait(), 0);
    for (const char* word : {"--link",
                             "--cell",
                             "--drift",
                             "--write-answer",
                             "--echo",
                             "--stream",
                             "--stream-hex",
                             "--rate",
                             "--baud",
                             "--late",
                             "--garble",
                             "--silent",
                             "--two-cells",
                             "9600,n,8,1",
                             "late=MS",
                             ":silent",
                             ":garble",
                             "noise=N",
                             "ramp=N",
                             "--drop",
                             "--seed",
                             "--hangup-after",
                             "--pidfile",
                             "--background",
                             "--trace",
                             "--version",
                             "byte-wise AND",
                             "64 ",
                             "73 ",
                             "75 ",
                             "130"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
}

TEST(Program, BadOptionsExitWithUsageStatusAndNameTheOption) {
    const std::vector<std::vector<std::string>> cases = {{"--bogus"},
                                                         {"--baud", "fast"},
                                                         {"--cell", "0"},
                                                         {"--cell", "1:2000000"},
                                                         {"--rate", "5"},
                                                         {"--late"},
                                                         {"--write-answer=yes"},
                                                         {"--stream-hex", "4G"},
                                                         {"--echo=1"},
                                                         {"--stream", "a", "--stream-hex", "41"},
                                                         {"--drop", "1.5"},
                                                         {"--seed", "-1"},
                                                         {"--hangup-after", "0"},
                                                         {"--cell", "2:late=x"},
                                                         {"--cell", "2:1000:loud"},
                                                         {"--cell", "2:late=5:9"},
                                                         {"--cell", "2:noise=-1"},
                                                         {"--cell", "2:ramp=x"},
                                                         {"--trace=1"},
                                                         {"--pidfile="}};
    for (const auto& args : cases) {
        Program program(args);
        std::string err = program.Err();
        EXPECT_EQ(program.Wait(), 64) << args[0];
        std::string option = args[0].substr(0, args[0].find('='));
        EXPECT_EQ(err.rfind("portsim: " + option, 0), 0u) << err;
        EXPECT_NE(err.find("--help"), std::string::npos) << err;
        EXPECT_TRUE(program.Out().empty());
    }
}

TEST(Program, PrintsTheDeviceAndCleansUpOnSignal) {
    fs::path link = fs::temp_directory_path() / ("portsim-program-" + std::to_string(::getpid()));
    fs::remove(link);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        Program program({"--link", link.string(), "--cell", "7:0x1234"});
        std::string path = program.FirstLine();
        ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
        EXPECT_EQ(fs::read_symlink(link), path);
        {
            PtyEnd port = PtyEnd::AsPort(path);
            ASSERT_TRUE(port.IsOpen());
            Bytes reply = port.Exchange(ReadFrame(7), 10);
            EXPECT_EQ(reply, ReadReply(7, 0x1234));
            program.Signal(signal);
        }
        EXPECT_EQ(program.Wait(), 128 + signal) << "128 + the signal";
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

TEST(Program, BareBenchIsOneCellAtAddressOne) {
    Program program({});
    std::string path = program.FirstLine();
    PtyEnd port = PtyEnd::AsPort(path);
    ASSERT_TRUE(port.IsOpen()) << path;
    EXPECT_EQ(port.Exchange(ReadFrame(0), 10), ReadReply(1, 74565));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 143);
}

} // namespace
