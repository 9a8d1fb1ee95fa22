#include "options.h"

#include "hex_bytes.h"
#include "params_check.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <set>
#include <utility>

namespace loadcell {
namespace {

struct OptionInfo {
    const char* name;
    bool takesValue;
    // The commands that take it; empty: every command.
    std::vector<Command> commands;
};

const std::vector<OptionInfo>& Options() {
    static const std::vector<OptionInfo> options = {
        {"--port", true, {}},
        {"--params", true, {}},
        {"--from", true, {Command::Scan, Command::Assign}},
        {"--to", true, {Command::Scan, Command::Assign}},
        {"--count", true, {Command::Read}},
        {"--follow", false, {Command::Read}},
        {"--interval", true, {Command::Read, Command::Check, Command::Calibrate}},
        {"--format", true, {Command::Read, Command::Check}},
        {"--settle",
         true,
         {Command::Scan, Command::Address, Command::Assign, Command::Read, Command::Check,
          Command::Calibrate}},
        {"--retries", true, {Command::Assign, Command::Read, Command::Check, Command::Calibrate}},
        {"--force", false, {Command::Assign}},
        {"--reconnect", false, {Command::Read}},
        {"--readings", true, {Command::Check, Command::Calibrate}},
        {"--max-noise", true, {Command::Check, Command::Calibrate}},
        {"--max-drift", true, {Command::Check}},
        {"--max-failures", true, {Command::Check}},
        {"--limits", true, {Command::Check}},
        {"--readings-out", true, {Command::Check}},
        {"--report", true, {Command::Check}},
        {"--operator", true, {Command::Check}},
        {"--units", false, {Command::Read, Command::Check}},
        {"--calibration",
         true,
         {Command::Read, Command::Check, Command::Calibrate, Command::Assign}},
        {"--zero", false, {Command::Calibrate}},
        {"--span", true, {Command::Calibrate}},
        {"--unit", true, {Command::Calibrate}},
        {"--keep-calibration", false, {Command::Assign}},
    };
    return options;
}

const OptionInfo* FindOption(const std::string& name) {
    for (const OptionInfo& option : Options())
        if (name == option.name) return &option;
    return nullptr;
}

Command FindCommand(const std::string& name) {
    for (Command c : {Command::Scan, Command::Address, Command::Assign, Command::Read,
                      Command::Check, Command::Calibrate, Command::Send})
        if (name == CommandName(c)) return c;
    return Command::None;
}

bool LooksLikeNumber(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && std::isdigit(static_cast<unsigned char>(arg[1]));
}

struct Given {
    std::string name;
    std::string value;
};

// Checks a number against its range; names the text and the range when it fails.
bool ReadNumber(const std::string& what, const std::string& text, long long lowest,
                long long highest, int& target, std::string& error) {
    std::optional<long long> value = ParseInteger(text);
    if (!value) {
        error = what + ": '" + text + "' is not a number";
        return false;
    }
    if (*value < lowest || *value > highest) {
        error = what + ": " + text + " is out of range (" + std::to_string(lowest) + " to " +
                std::to_string(highest) + ")";
        return false;
    }
    target = static_cast<int>(*value);
    return true;
}

// `value` as one of the named choices; the error lists them in their order.
template <typename Choice>
bool ReadChoice(const std::string& what, const std::string& value,
                std::initializer_list<std::pair<const char*, Choice>> choices, Choice& target,
                std::string& error) {
    std::string names;
    for (const auto& [choiceName, choice] : choices) {
        if (value == choiceName) {
            target = choice;
            return true;
        }
        names += (names.empty() ? "" : ", ") + std::string(choiceName);
    }
    error = what + ": '" + value + "' is not one of " + names;
    return false;
}

// Addresses get their own wording: the range follows from what a reply can carry.
bool ReadAddress(const std::string& what, const std::string& text, int lowest, int& target,
                 std::string& error) {
    if (!ParseInteger(text)) {
        error = what + ": '" + text + "' is not a number";
        return false;
    }
    if (!ReadNumber(what, text, lowest, kHighestAddress, target, error)) {
        error = what + ": " + text + " is not an address from " + AddressRange(lowest) +
                " (a cell's reply reports at most " + std::to_string(kHighestAddress) +
                (lowest == kAnyAddress ? "; 0 asks whichever cell is on the line)" : ")");
        return false;
    }
    return true;
}

bool ApplyOption(const Given& given, Invocation& inv, std::string& error) {
    const std::string& name = given.name;
    const std::string& value = given.value;
    if (name == "--port") {
        if (value.empty()) {
            error = "--port: the port name is empty";
            return false;
        }
        inv.port = value;
    } else if (name == "--params") {
        inv.params = value;
        return CheckParams(value, error);
    } else if (name == "--from") {
        return ReadAddress("--from", value, kLowestAddress, inv.from, error);
    } else if (name == "--to") {
        return ReadAddress("--to", value, kLowestAddress, inv.to, error);
    } else if (name == "--count") {
        return ReadNumber("--count", value, 1, 1000000000, inv.count, error);
    } else if (name == "--follow") {
        inv.follow = true;
    } else if (name == "--force") {
        inv.force = true;
    } else if (name == "--reconnect") {
        inv.reconnect = true;
    } else if (name == "--settle") {
        return ReadNumber("--settle", value, 0, 10000, inv.settleMs, error);
    } else if (name == "--retries") {
        return ReadNumber("--retries", value, 0, 100, inv.retries, error);
    } else if (name == "--interval") {
        return ReadNumber("--interval", value, 0, 86400000, inv.intervalMs, error);
    } else if (name == "--format" && inv.command == Command::Check) {
        return ReadChoice(
            name, value,
            {{"table", CheckFormat::Table}, {"csv", CheckFormat::Csv}, {"json", CheckFormat::Json}},
            inv.checkFormat, error);
    } else if (name == "--readings") {
        return ReadNumber("--readings", value, 1, 100000, inv.readings, error);
    } else if (name == "--max-noise" || name == "--max-failures") {
        int limit = 0;
        if (!ReadNumber(name, value, 0, kHighestCode, limit, error)) return false;
        (name == "--max-noise" ? inv.maxNoise : inv.maxFailures) = limit;
    } else if (name == "--max-drift") {
        const std::optional<double> drift = ParseDecimal(value);
        if (!drift || *drift < 0) {
            error = "--max-drift: '" + value + "' is not a number of counts per minute (0 or more)";
            return false;
        }
        inv.maxDrift = drift;
    } else if (name == "--span") {
        const std::optional<double> weight = ParseDecimal(value);
        if (!weight || *weight <= 0) {
            error = "--span: '" + value +
                    "' is not a weight above 0 (the known weight on the cell, in --unit)";
            return false;
        }
        inv.spanWeight = weight;
    } else if (name == "--unit") {
        if (value.empty() || value.size() > 16 ||
            !std::all_of(value.begin(), value.end(),
                         [](unsigned char c) { return std::isalpha(c) != 0; })) {
            error = "--unit: '" + value + "' is not a unit name of up to 16 letters (kg, lb, N)";
            return false;
        }
        inv.unit = value;
    } else if (name == "--zero") {
        inv.zero = true;
    } else if (name == "--units") {
        inv.units = true;
    } else if (name == "--keep-calibration") {
        inv.keepCalibration = true;
    } else if (name == "--limits" || name == "--readings-out" || name == "--report" ||
               name == "--calibration") {
        if (value.empty()) {
            error = name + ": the file name is empty";
            return false;
        }
        (name == "--limits"         ? inv.limitsPath
         : name == "--readings-out" ? inv.readingsOut
         : name == "--report"       ? inv.reportPath
                                    : inv.calibrationPath) = value;
    } else if (name == "--operator") {
        if (value.empty() || value.size() > 200 ||
            std::any_of(value.begin(), value.end(),
                        [](unsigned char c) { return c < 0x20 || c == 0x7F; })) {
            error = "--operator: give a name of 1 to 200 characters, without control characters";
            return false;
        }
        inv.operatorName = value;
    } else if (name == "--format") {
        return ReadChoice(name, value,
                          {{"text", Format::Text}, {"csv", Format::Csv}, {"jsonl", Format::Jsonl}},
                          inv.format, error);
    }
    return true;
}

bool ApplyOperands(const std::vector<std::string>& operands, Invocation& inv, std::string& error) {
    const std::string command = CommandName(inv.command);
    switch (inv.command) {
    case Command::Scan:
    case Command::Address:
        if (!operands.empty()) {
            error = command + ": unexpected argument '" + operands[0] + "'";
            return false;
        }
        return true;
    case Command::Assign:
        if (operands.size() != 1) {
            error = operands.empty() ? "assign: the new address is missing (loadcell assign NEW)"
                                     : "assign: unexpected argument '" + operands[1] + "'";
            return false;
        }
        return ReadAddress("assign", operands[0], kLowestAddress, inv.newAddress, error);
    case Command::Read:
    case Command::Check:
    case Command::Calibrate:
        if (operands.empty()) {
            error = command + ": no address given (loadcell " + command + " ADDR" +
                    (inv.command == Command::Calibrate ? ")" : "...)");
            return false;
        }
        if (inv.command == Command::Calibrate && operands.size() > 1) {
            error = "calibrate: one cell at a time (unexpected argument '" + operands[1] + "')";
            return false;
        }
        for (const std::string& text : operands) {
            int address = 0;
            // Address 0 reaches whichever cell answers, which a record or a calibration
            // cannot be kept for.
            if (!ReadAddress(command, text,
                             inv.command == Command::Read ? kAnyAddress : kLowestAddress, address,
                             error))
                return false;
            if (std::find(inv.addresses.begin(), inv.addresses.end(), address) !=
                inv.addresses.end()) {
                error = command + ": address " + std::to_string(address) + " is given twice";
                return false;
            }
            inv.addresses.push_back(address);
        }
        return true;
    case Command::Send:
        if (operands.empty()) {
            error = "send: no bytes given (loadcell send HEX...)";
            return false;
        }
        for (const std::string& text : operands) {
            std::vector<uint8_t> bytes;
            if (!tools::ParseHexBytes(text, bytes)) {
                error = "send: '" + text + "' is not hexadecimal bytes such as \"02 52 44\"";
                return false;
            }
            inv.bytes.insert(inv.bytes.end(), bytes.begin(), bytes.end());
        }
        if (std::find(inv.bytes.begin(), inv.bytes.end(), 0) != inv.bytes.end()) {
            error = "send: a byte 00 cannot be sent (the text to send ends at a zero byte)";
            return false;
        }
        if (inv.bytes.size() > kMostSendBytes) {
            error = "send: " + std::to_string(inv.bytes.size()) +
                    " bytes given, at most 255 go in one exchange";
            return false;
        }
        return true;
    case Command::None:
        break;
    }
    return true;
}

} // namespace

const char* CommandName(Command command) {
    switch (command) {
    case Command::Scan:
        return "scan";
    case Command::Address:
        return "address";
    case Command::Assign:
        return "assign";
    case Command::Read:
        return "read";
    case Command::Check:
        return "check";
    case Command::Calibrate:
        return "calibrate";
    case Command::Send:
        return "send";
    case Command::None:
        break;
    }
    return "";
}

std::string AddressRange(int lowest) {
    return std::to_string(lowest) + " to " + std::to_string(kHighestAddress);
}

std::optional<double> ParseDecimal(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> ParseInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end) return std::nullopt;
    return value;
}

bool ParseArguments(const std::vector<std::string>& args, const char* portFromEnvironment,
                    Invocation& inv, std::string& error) {
    inv = Invocation{};
    // --help answers whatever else is wrong on the line.
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") inv.help = true;
        if (arg == "--version" || arg == "-V") inv.version = true;
    }
    // Like --help, --version answers whatever else is on the line.
    if (inv.version && !inv.help) return true;
    inv.version = false;
    std::vector<Given> given;
    std::vector<std::string> operands;
    std::string commandText;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption =
            !optionsEnded && arg.size() > 1 && arg[0] == '-' && !LooksLikeNumber(arg);
        if (!isOption) {
            if (commandText.empty())
                commandText = arg;
            else
                operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") continue;
        std::string name = arg;
        std::optional<std::string> value;
        if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const OptionInfo* option = FindOption(name);
        if (!option) {
            error = "unknown option '" + name + "'";
            if (inv.help) continue; // --help still answers
            return false;
        }
        if (!option->takesValue && value) {
            error = name + " takes no value";
            return false;
        }
        if (option->takesValue && !value) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                if (inv.help) continue;
                return false;
            }
            value = args[++i];
        }
        given.push_back({name, value.value_or("")});
    }

    if (!commandText.empty()) {
        inv.command = FindCommand(commandText);
        if (inv.command == Command::None) {
            error = "'" + commandText +
                    "' is not a command (scan, address, assign, read, check, calibrate, send)";
            return false;
        }
    }
    if (inv.help) {
        error.clear();
        return true;
    }
    if (!error.empty()) return false;
    if (inv.command == Command::None) {
        error = "no command given (scan, address, assign, read, check, calibrate or send; see "
                "loadcell --help)";
        return false;
    }

    const std::string command = CommandName(inv.command);
    std::set<std::string> seen;
    for (const Given& g : given) {
        const OptionInfo* option = FindOption(g.name);
        if (!option->commands.empty() && std::find(option->commands.begin(), option->commands.end(),
                                                   inv.command) == option->commands.end()) {
            error = command + " does not take " + g.name + " (see loadcell " + command + " --help)";
            return false;
        }
        seen.insert(g.name);
        if (!ApplyOption(g, inv, error)) return false;
    }
    if (inv.command == Command::Assign && !seen.count("--to")) inv.to = kHighestAddress;
    if (seen.count("--count") && inv.follow) {
        error = "read: --count and --follow cannot be used together";
        return false;
    }
    if (inv.command == Command::Calibrate && inv.zero == inv.spanWeight.has_value()) {
        error = "calibrate: give either --zero (no load) or --span W (a known weight W)";
        return false;
    }
    if (seen.count("--unit") && !inv.spanWeight) {
        error = "calibrate: --unit goes with --span";
        return false;
    }
    // A check or a calibration reads one cell many times: a short pause is enough.
    if ((inv.command == Command::Check || inv.command == Command::Calibrate) &&
        !seen.count("--interval"))
        inv.intervalMs = 100;
    if (inv.from > inv.to) {
        error = command + ": --from " + std::to_string(inv.from) + " is above --to " +
                std::to_string(inv.to);
        return false;
    }
    if (!ApplyOperands(operands, inv, error)) return false;
    if (inv.port.empty()) {
        if (portFromEnvironment && *portFromEnvironment) {
            inv.port = portFromEnvironment;
        } else {
            error = command + ": no port given (--port NAME, or set LOADCELL_PORT)";
            return false;
        }
    }
    return true;
}

} // namespace loadcell
