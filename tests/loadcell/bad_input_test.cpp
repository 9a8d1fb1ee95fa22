// Bad input: one line on standard error and the usage status 64, never a crash; and
// the ports that cannot be opened, each told apart by its message and its status.
#include "program_run.h"

#include <filesystem>
#include <fstream>
#include <sys/file.h>

using namespace loadcelltest;
namespace fs = std::filesystem;

namespace {

void ExpectOneLineError(const Outcome& o, const std::string& part, int status = 64) {
    EXPECT_EQ(o.status, status);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("loadcell: ", 0), 0u) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    EXPECT_TRUE(Contains(o.err, part)) << o.err;
}

TEST(BadInput, ArgumentsGetAOneLineErrorAndTheUsageStatus) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command given"},
        {{"weigh", "--port", "x"}, "'weigh' is not a command"},
        {{"scan", "--port", "x", "--bogus"}, "unknown option '--bogus'"},
        {{"scan", "--port", "x", "--count", "3"}, "scan does not take --count"},
        {{"send", "41", "--port", "x", "--follow"}, "send does not take --follow"},
        {{"scan", "--port"}, "--port needs a value"},
        {{"read", "3", "--port", "x", "--follow=yes"}, "--follow takes no value"},
        {{"read", "3", "--port", "x", "--count", "ten"}, "--count: 'ten' is not a number"},
        {{"read", "3", "--port", "x", "--count", "0"}, "--count: 0 is out of range"},
        {{"read", "3", "--port", "x", "--interval", "1.5"}, "'1.5' is not a number"},
        {{"read", "abc", "--port", "x"}, "read: 'abc' is not a number"},
        {{"read", "192", "--port", "x"}, "192 is not an address from 0 to 191"},
        {{"read", "-1", "--port", "x"}, "-1 is not an address from 0 to 191"},
        {{"read", "3", "3", "--port", "x"}, "address 3 is given twice"},
        {{"read", "--port", "x"}, "read: no address given"},
        {{"read", "3", "--port", "x", "--count", "2", "--follow"}, "cannot be used together"},
        {{"read", "3", "--port", "x", "--format", "xml"}, "'xml' is not one of text, csv"},
        {{"assign", "--port", "x"}, "the new address is missing"},
        {{"assign", "0", "--port", "x"}, "0 is not an address from 1 to 191"},
        {{"assign", "256", "--port", "x"}, "256 is not an address from 1 to 191"},
        {{"assign", "five", "--port", "x"}, "'five' is not a number"},
        {{"scan", "--port", "x", "--from", "0"}, "--from: 0 is not an address from 1 to 191"},
        {{"scan", "--port", "x", "--from", "9", "--to", "3"}, "--from 9 is above --to 3"},
        {{"address", "3", "--port", "x"}, "address: unexpected argument '3'"},
        {{"send", "--port", "x"}, "send: no bytes given"},
        {{"send", "4G", "--port", "x"}, "'4G' is not hexadecimal bytes"},
        {{"send", "123", "--port", "x"}, "'123' is not hexadecimal bytes"},
        {{"send", "41 00 42", "--port", "x"}, "a byte 00 cannot be sent"},
        {{"send", std::string(512, 'A'), "--port", "x"}, "256 bytes given, at most 255"},
        {{"scan"}, "no port given (--port NAME, or set LOADCELL_PORT)"},
        {{"scan", "--port", ""}, "the port name is empty"},
        // Line parameters are checked by the library's rules before any port is opened.
        {{"scan", "--port", "x", "--params", "garbage"}, "field 1 (baud rate) 'garbage'"},
        {{"scan", "--port", "x", "--params", "9600,q,8,1"}, "field 2 (parity) 'q'"},
        {{"scan", "--port", "x", "--params", "9600,n,9"}, "field 3 (data bits) '9'"},
        {{"scan", "--port", "x", "--params", "baud=9600 parity=x"}, "field 2 'parity=x'"},
        {{"scan", "--port", "x", "--params", "9600,n,5,2"}, "cannot take together"},
        {{"read", "3", "--port", "x", "--settle", "-5"}, "--settle: -5 is out of range"},
        {{"read", "3", "--port", "x", "--retries", "many"}, "--retries: 'many' is not"},
        {{"read", "3", "--port", "x", "--force"}, "read does not take --force"},
        {{"scan", "--port", "x", "--reconnect"}, "scan does not take --reconnect"},
    };
    for (const auto& [args, part] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        ExpectOneLineError(RunLoadcell(args), part);
    }
}

TEST(BadInput, HelpAnswersEvenBesideABadOption) {
    Outcome o = RunLoadcell({"read", "--bogus", "--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("Usage: loadcell read ADDR...", 0), 0u) << o.out;
}

TEST(BadPort, AMissingPortIsNamedMissing) {
    ExpectOneLineError(RunLoadcell({"scan", "--port", "/dev/loadcell-no-such-port"}),
                       "cannot open port '/dev/loadcell-no-such-port': "
                       "/dev/loadcell-no-such-port is missing: no such port on this machine "
                       "(No such file or directory)",
                       66);
    // COMn names /dev/ttyS(n-1); COM0 names no serial port at all.
    ExpectOneLineError(RunLoadcell({"scan", "--port", "COM0"}), "/dev/COM0 is missing", 66);
    ExpectOneLineError(RunLoadcell({"scan", "--port", "loadcell-no-such"}),
                       "/dev/loadcell-no-such is missing", 66);
}

TEST(BadPort, AFileThatIsNoTerminalIsNotASerialPort) {
    const fs::path file =
        fs::temp_directory_path() / ("loadcell-plain-" + std::to_string(::getpid()));
    std::ofstream(file) << "not a port\n";
    ExpectOneLineError(RunLoadcell({"address", "--port", file.string()}),
                       file.string() + " is not a serial port", 69);
    fs::remove(file);
}

using BusyPortTest = BenchTest;

TEST_F(BusyPortTest, APortHeldByAnotherRunIsBusy) {
    StartBench(Cells({3}));
    Program holder(On({"read", "3", "--follow", "--interval", "100"}));
    ASSERT_TRUE(holder.WaitForLines(1));
    const Outcome o = RunLoadcell(On({"scan"}));
    ExpectOneLineError(o, bench_->DevicePath() + " is busy: another program holds it", 75);
    holder.Signal(SIGINT);
    EXPECT_NE(holder.Finish().status, -1);
}

TEST_F(BusyPortTest, APortThisUserMayNotOpenIsNotPermittedAndDialoutIsSuggested) {
    if (::getuid() != 0) GTEST_SKIP() << "needs root, to drop to the unprivileged user";
    StartBench(Cells({3})); // the pseudo-terminal belongs to root, mode 620
    RunSettings nobody;
    nobody.asNobody = true;
    const Outcome o = Program(On({"scan"}), nobody).Finish();
    ExpectOneLineError(o,
                       bench_->DevicePath() + " is not permitted to this user (Permission "
                                              "denied); serial ports belong to the group "
                                              "dialout: sudo usermod -aG dialout $USER",
                       77);
}

TEST_F(BusyPortTest, ThePortComesFromTheEnvironmentWhenNotGiven) {
    StartBench(Cells({6}));
    RunSettings environment;
    environment.environment = {{"LOADCELL_PORT", bench_->DevicePath()}};
    Outcome o;
    for (int attempt = 0; attempt < 5 && o.status != 0; ++attempt)
        o = Program({"address"}, environment).Finish();
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "6\n");
}

} // namespace
