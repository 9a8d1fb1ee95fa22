// portsim's command line on any argument list (the input's NUL-separated pieces): the
// parser never fails silently, a run always has someone to talk to within the documented
// ranges (the per-cell faults, losses and hang-up time included), "--option=VALUE" reads
// as "--option VALUE", and hexadecimal byte lists read back as they are written.
#include "fuzz_check.h"
#include "hex_bytes.h"
#include "options.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace portsim;

namespace {

struct Parsed {
    ParseOutcome outcome;
    Options options;
    std::string error;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "portsim");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Parsed p;
    p.outcome = ParseOptions(static_cast<int>(args.size()), argv.data(), p.options, p.error);
    return p;
}

bool SameConfig(const Config& a, const Config& b) {
    if (a.cells.size() != b.cells.size()) return false;
    for (size_t i = 0; i < a.cells.size(); ++i)
        if (a.cells[i].address != b.cells[i].address || a.cells[i].code != b.cells[i].code ||
            a.cells[i].drift != b.cells[i].drift || a.cells[i].lateMs != b.cells[i].lateMs ||
            a.cells[i].silent != b.cells[i].silent || a.cells[i].garble != b.cells[i].garble)
            return false;
    return a.writeAnswer == b.writeAnswer && a.echo == b.echo && a.stream == b.stream &&
           a.streamRate == b.streamRate && a.paceBaud == b.paceBaud &&
           a.replyDelayMs == b.replyDelayMs && a.garble == b.garble && a.silent == b.silent &&
           a.twoCellsAtOnce == b.twoCellsAtOnce && a.fixedReply == b.fixedReply &&
           a.dropChance == b.dropChance && a.seed == b.seed;
}

bool SameOptions(const Options& a, const Options& b) {
    return SameConfig(a.config, b.config) && a.linkPath == b.linkPath && a.pidFile == b.pidFile &&
           a.background == b.background && a.trace == b.trace && a.hangupAfterS == b.hangupAfterS;
}

bool TakesValue(const std::string& name) {
    return name == "--link" || name == "--cell" || name == "--write-answer" || name == "--stream" ||
           name == "--stream-hex" || name == "--rate" || name == "--baud" || name == "--late" ||
           name == "--reply-hex" || name == "--drop" || name == "--seed" ||
           name == "--hangup-after" || name == "--pidfile";
}

void CheckRun(const Options& options) {
    const Config& c = options.config;
    FUZZ_CHECK(!c.cells.empty() || c.echo || !c.stream.empty(), "a bench with nobody on it");
    for (const Cell& cell : c.cells) {
        FUZZ_CHECK(cell.address >= 1 && cell.address <= 191, "cell address out of range");
        FUZZ_CHECK(cell.code <= 1048575, "cell code out of range");
        FUZZ_CHECK(cell.lateMs >= -1 && cell.lateMs <= 60000, "cell delay out of range");
    }
    FUZZ_CHECK(c.streamRate >= 0 && c.streamRate <= 1e6, "stream rate out of range");
    FUZZ_CHECK(c.streamRate == 0 || !c.stream.empty(), "a rate without a stream");
    FUZZ_CHECK(c.paceBaud == 0 || (c.paceBaud >= 50 && c.paceBaud <= 4000000), "baud out of range");
    FUZZ_CHECK(c.replyDelayMs >= 0 && c.replyDelayMs <= 60000, "delay out of range");
    FUZZ_CHECK(c.dropChance >= 0 && c.dropChance <= 1, "loss chance out of range");
    FUZZ_CHECK(options.hangupAfterS == 0 ||
                   (options.hangupAfterS > 0 && options.hangupAfterS <= 1e6),
               "hang-up time out of range");
    FUZZ_CHECK(c.collide && !c.trace && c.keepReceived == SIZE_MAX,
               "the command line set what it has no option for");
}

void CheckHexBytes(const std::string& text) {
    Bytes bytes;
    if (!tools::ParseHexBytes(text, bytes)) return;
    FUZZ_CHECK(!bytes.empty(), "an empty byte list was accepted");
    std::string written;
    for (uint8_t b : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", b);
        written += pair;
    }
    Bytes again;
    FUZZ_CHECK(tools::ParseHexBytes(written, again) && again == bytes,
               "hex bytes did not read back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() < 64; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const Parsed p = Parse(args);
    if (p.outcome == ParseOutcome::Error) FUZZ_CHECK(!p.error.empty(), "an error without a text");
    if (p.outcome == ParseOutcome::Run) CheckRun(p.options);
    for (const std::string& a : args)
        CheckHexBytes(a);

    // The same list with every "--option=VALUE" of a value option given as two arguments
    // (only where an option stands, not where an argument is another option's value).
    std::vector<std::string> split;
    bool changed = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (!TakesValue(name)) {
            split.push_back(a);
        } else if (eq == std::string::npos) {
            split.push_back(a);
            if (i + 1 < args.size()) split.push_back(args[++i]);
        } else {
            split.push_back(name);
            split.push_back(a.substr(eq + 1));
            changed = true;
        }
    }
    if (changed) {
        const Parsed q = Parse(split);
        FUZZ_CHECK(q.outcome == p.outcome, "--option=VALUE and --option VALUE disagree");
        if (p.outcome == ParseOutcome::Run)
            FUZZ_CHECK(SameOptions(q.options, p.options),
                       "--option=VALUE and --option VALUE set different things");
    }
    return 0;
}
