#include "options.h"

#include "hex_bytes.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace portsim {

namespace {

constexpr uint32_t kDefaultCode = 74565;

template <typename T> std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseRate(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

// A cell's fields that carry a number in a range.
struct NumberField {
    const char* prefix;
    const char* form;
    int lowest;
    int highest;
    const char* unit;
    int Cell::*target;
};

const NumberField* FindNumberField(std::string_view field) {
    static constexpr NumberField kFields[] = {
        {"late=", "late=MS", 0, 60000, "milliseconds", &Cell::lateMs},
        {"noise=", "noise=N", 0, 100000, "counts", &Cell::noise},
        {"ramp=", "ramp=N", -100000, 100000, "counts", &Cell::ramp},
    };
    for (const NumberField& known : kFields)
        if (field.rfind(known.prefix, 0) == 0) return &known;
    return nullptr;
}

// ADDR[:CODE][:late=MS][:silent][:garble][:noise=N][:ramp=N]
bool ParseCell(const std::string& text, Cell& cell, std::string& why) {
    std::vector<std::string_view> fields;
    std::string_view rest = text;
    for (size_t colon; (colon = rest.find(':')) != std::string_view::npos;) {
        fields.push_back(rest.substr(0, colon));
        rest.remove_prefix(colon + 1);
    }
    fields.push_back(rest);
    auto address = ParseNumber<int>(fields[0]);
    if (!address || *address < 1 || *address > 191) {
        why = "address '" + std::string(fields[0]) + "' is not a number from 1 to 191";
        return false;
    }
    cell.address = *address;
    cell.code = kDefaultCode;
    for (size_t i = 1; i < fields.size(); ++i) {
        std::string_view field = fields[i];
        if (field == "silent") {
            cell.silent = true;
        } else if (field == "garble") {
            cell.garble = true;
        } else if (const NumberField* known = FindNumberField(field)) {
            const std::string_view number = field.substr(std::string_view(known->prefix).size());
            auto parsed = ParseNumber<int>(number);
            if (!parsed || *parsed < known->lowest || *parsed > known->highest) {
                why = "'" + std::string(field) + "': " + known->form + " needs " +
                      std::to_string(known->lowest) + " to " + std::to_string(known->highest) +
                      " " + known->unit;
                return false;
            }
            cell.*known->target = *parsed;
        } else if (i == 1) {
            auto code = ParseNumber<uint32_t>(field);
            if (!code || *code > 1048575) {
                why = "code '" + std::string(field) + "' is not a number from 0 to 1048575";
                return false;
            }
            cell.code = *code;
        } else {
            why = "'" + std::string(field) +
                  "' is not one of late=MS, silent, garble, noise=N, ramp=N";
            return false;
        }
    }
    return true;
}

} // namespace

ParseOutcome ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    Config& config = options.config;
    bool drift = false;
    bool streamGiven = false;
    bool rateGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        auto fail = [&](const std::string& why) {
            error = name + ": " + why;
            return ParseOutcome::Error;
        };
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < argc) return std::string(argv[++i]);
            return std::nullopt;
        };
        auto flag = [&](bool& target) {
            if (inlineValue) return false;
            target = true;
            return true;
        };

        if (name == "--help" || name == "-h") return ParseOutcome::Help;
        if (name == "--version" || name == "-V") return ParseOutcome::Version;
        bool needsValue = name == "--link" || name == "--cell" || name == "--write-answer" ||
                          name == "--stream" || name == "--stream-hex" || name == "--rate" ||
                          name == "--baud" || name == "--late" || name == "--reply-hex" ||
                          name == "--drop" || name == "--seed" || name == "--hangup-after" ||
                          name == "--pidfile";
        if (needsValue) {
            std::optional<std::string> v = value();
            if (!v) return fail("needs a value");
            if (name == "--link") {
                if (v->empty()) return fail("needs a path");
                options.linkPath = *v;
            } else if (name == "--cell") {
                Cell cell;
                std::string why;
                if (!ParseCell(*v, cell, why)) return fail(why);
                config.cells.push_back(cell);
            } else if (name == "--write-answer") {
                if (*v == "accept")
                    config.writeAnswer = WriteAnswer::Accept;
                else if (*v == "address")
                    config.writeAnswer = WriteAnswer::AddressForm;
                else if (*v == "none")
                    config.writeAnswer = WriteAnswer::None;
                else
                    return fail("'" + *v + "' is not one of accept, address, none");
            } else if (name == "--stream" || name == "--stream-hex") {
                if (streamGiven) return fail("only one --stream or --stream-hex may be given");
                streamGiven = true;
                if (name == "--stream")
                    config.stream.assign(v->begin(), v->end());
                else if (!tools::ParseHexBytes(*v, config.stream))
                    return fail("'" + *v +
                                "' is not a list of hexadecimal bytes such as \"41 42 0D 0A\"");
                if (config.stream.empty()) return fail("the text to stream is empty");
            } else if (name == "--rate") {
                auto rate = ParseRate(*v);
                if (!rate || *rate <= 0 || *rate > 1e6)
                    return fail("'" + *v + "' is not a rate from 0 to 1000000 bytes per second");
                config.streamRate = *rate;
                rateGiven = true;
            } else if (name == "--baud") {
                auto baud = ParseNumber<int>(*v);
                if (!baud || *baud < 50 || *baud > 4000000)
                    return fail("'" + *v + "' is not a baud rate from 50 to 4000000");
                config.paceBaud = *baud;
            } else if (name == "--late") {
                auto late = ParseNumber<int>(*v);
                if (!late || *late < 0 || *late > 60000)
                    return fail("'" + *v + "' is not a number of milliseconds from 0 to 60000");
                config.replyDelayMs = *late;
            } else if (name == "--drop") {
                auto chance = ParseRate(*v);
                if (!chance || *chance < 0 || *chance > 1)
                    return fail("'" + *v + "' is not a probability from 0 to 1");
                config.dropChance = *chance;
            } else if (name == "--seed") {
                auto seed = ParseNumber<uint32_t>(*v);
                if (!seed) return fail("'" + *v + "' is not a number from 0 to 4294967295");
                config.seed = *seed;
            } else if (name == "--hangup-after") {
                auto seconds = ParseRate(*v);
                if (!seconds || *seconds <= 0 || *seconds > 1e6)
                    return fail("'" + *v + "' is not a number of seconds above 0, up to 1000000");
                options.hangupAfterS = *seconds;
            } else if (name == "--pidfile") {
                if (v->empty()) return fail("needs a path");
                options.pidFile = *v;
            } else if (name == "--reply-hex") {
                Bytes reply;
                if (!tools::ParseHexBytes(*v, reply))
                    return fail("'" + *v +
                                "' is not a list of hexadecimal bytes such as \"FF 02 45\"");
                config.fixedReply = reply;
            }
            continue;
        }
        bool known = (name == "--drift" && flag(drift)) ||
                     (name == "--echo" && flag(config.echo)) ||
                     (name == "--garble" && flag(config.garble)) ||
                     (name == "--silent" && flag(config.silent)) ||
                     (name == "--two-cells" && flag(config.twoCellsAtOnce)) ||
                     (name == "--trace" && flag(options.trace)) ||
                     (name == "--background" && flag(options.background));
        if (known) continue;
        if (inlineValue &&
            (name == "--drift" || name == "--echo" || name == "--garble" || name == "--silent" ||
             name == "--two-cells" || name == "--trace" || name == "--background"))
            return fail("takes no value");
        if (arg.rfind("-", 0) == 0) return fail("unknown option");
        error = "unexpected argument '" + arg + "'";
        return ParseOutcome::Error;
    }
    if (rateGiven && !streamGiven) {
        error = "--rate: needs --stream or --stream-hex";
        return ParseOutcome::Error;
    }
    // Bare bench: one cell at address 1, so that there is always someone to talk to.
    if (config.cells.empty() && !config.echo && config.stream.empty())
        config.cells.push_back(Cell{1, kDefaultCode, false});
    for (Cell& cell : config.cells)
        cell.drift = drift;
    return ParseOutcome::Run;
}

} // namespace portsim
