#include "check_record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace loadcell {
namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Reasons(const Verdict& v) {
    std::string text;
    for (const std::string& reason : v.reasons)
        text += (text.empty() ? "" : "; ") + reason;
    return text;
}

std::string Settle(const CheckFigures& f) {
    return f.settleSeconds == kNeverSettled ? "" : Decimal(f.settleSeconds, 2);
}

std::string Padded(const std::string& text, size_t width) {
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
}

} // namespace

double ShownFigures::Value(int32_t code) const {
    return unit.empty() ? code : (code - zero) * factor;
}

ShownFigures Shown(const CellRecord& cell) {
    ShownFigures s;
    const CheckFigures& f = cell.figures;
    if (cell.calibration) {
        s.unit = cell.calibration->unit;
        s.factor = cell.calibration->Factor();
        s.zero = cell.calibration->zero->code;
        // Enough decimals to show one count.
        s.decimals =
            std::clamp(static_cast<int>(std::ceil(-std::log10(std::fabs(s.factor)))), 0, 6);
        s.extremeDecimals = s.decimals;
    }
    const double size = std::fabs(s.factor);
    s.mean = (f.mean - s.zero) * s.factor;
    s.deviation = f.deviation * size;
    s.noise = static_cast<double>(f.peakToPeak) * size;
    s.drift = f.driftPerMinute * s.factor;
    s.minimum = s.Value(s.factor < 0 ? f.maximum : f.minimum);
    s.maximum = s.Value(s.factor < 0 ? f.minimum : f.maximum);
    s.bandLow = (std::min(f.bandLow, f.bandHigh) - s.zero) * s.factor;
    s.bandHigh = (std::max(f.bandLow, f.bandHigh) - s.zero) * s.factor;
    if (s.bandLow > s.bandHigh) std::swap(s.bandLow, s.bandHigh);
    return s;
}

std::string VerdictText(const CellRecord& cell) {
    return cell.verdict.pass ? "PASS" : "FAIL: " + Reasons(cell.verdict);
}

std::string CheckTable(const RunFacts& facts, const std::vector<CellRecord>& cells) {
    const std::string unit =
        cells.empty() || !cells[0].calibration ? "" : " " + Shown(cells[0]).unit;
    std::string text = "address  readings  failed  " + Padded("mean" + unit, 12) + "  " +
                       Padded("sd" + unit, 9) + "  " + Padded("noise" + unit, 9) + "  " +
                       Padded("drift" + unit + "/min", 13) + "  settle s  verdict\n";
    for (const CellRecord& cell : cells) {
        const ShownFigures s = Shown(cell);
        const bool any = cell.figures.readings > 0;
        const std::string settle = Settle(cell.figures);
        auto figure = [&](double value, int decimals, size_t width) {
            return Padded(any ? Decimal(value, decimals) : "-", width);
        };
        text += Padded(std::to_string(cell.address), 7) + "  " +
                Padded(std::to_string(cell.figures.readings), 8) + "  " +
                Padded(std::to_string(cell.figures.failures), 6) + "  " +
                figure(s.mean, s.decimals, 12 + unit.size()) + "  " +
                figure(s.deviation, s.decimals, 9 + unit.size()) + "  " +
                figure(s.noise, cell.calibration ? s.decimals : 0, 9 + unit.size()) + "  " +
                figure(s.drift, s.decimals, 13 + unit.size()) + "  " +
                Padded(any && !settle.empty() ? settle : "-", 8) + "  " + VerdictText(cell) + "\n";
    }
    if (!facts.complete) text += "partial record: " + facts.stopped + "\n";
    return text;
}

std::string CheckCsv(const RunFacts&, const std::vector<CellRecord>& cells) {
    const std::string u = cells.empty() || !cells[0].calibration ? "" : "_" + Shown(cells[0]).unit;
    std::string text = "address,readings,failed,mean" + u + ",sd" + u + ",min" + u + ",max" + u +
                       ",noise" + u + ",drift" + u + "_per_min,settle_s,verdict,reasons\n";
    for (const CellRecord& cell : cells) {
        const ShownFigures s = Shown(cell);
        const bool any = cell.figures.readings > 0;
        auto figure = [&](double value, int decimals) {
            return any ? Decimal(value, decimals) : "";
        };
        text += std::to_string(cell.address) + "," + std::to_string(cell.figures.readings) + "," +
                std::to_string(cell.figures.failures) + "," + figure(s.mean, s.decimals) + "," +
                figure(s.deviation, s.decimals) + "," + figure(s.minimum, s.extremeDecimals) + "," +
                figure(s.maximum, s.extremeDecimals) + "," +
                figure(s.noise, cell.calibration ? s.decimals : 0) + "," +
                figure(s.drift, s.decimals) + "," + (any ? Settle(cell.figures) : "") + "," +
                (cell.verdict.pass ? "PASS" : "FAIL") + "," + CsvField(Reasons(cell.verdict)) +
                "\n";
    }
    return text;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

std::string CheckJson(const RunFacts& facts, const std::vector<CellRecord>& cells) {
    std::string text =
        "{\"date\":" + JsonString(facts.date) + ",\"port\":" + JsonString(facts.port) +
        ",\"params\":" + JsonString(facts.params) + ",\"version\":" + JsonString(facts.version) +
        ",\"operator\":" + (facts.operatorName.empty() ? "null" : JsonString(facts.operatorName)) +
        ",\"readings_asked\":" + std::to_string(facts.readingsAsked) +
        ",\"interval_ms\":" + std::to_string(facts.intervalMs) +
        ",\"complete\":" + (facts.complete ? "true" : "false") +
        ",\"stopped\":" + (facts.complete ? "null" : JsonString(facts.stopped)) + ",\"cells\":[";
    for (size_t i = 0; i < cells.size(); ++i) {
        const CellRecord& cell = cells[i];
        const ShownFigures s = Shown(cell);
        const std::string u = cell.calibration ? "_" + s.unit : "";
        const bool any = cell.figures.readings > 0;
        auto figure = [&](double value, int decimals) {
            return any ? Decimal(value, decimals) : std::string("null");
        };
        const std::string settle = Settle(cell.figures);
        std::string reasons;
        for (const std::string& reason : cell.verdict.reasons)
            reasons += (reasons.empty() ? "" : ",") + JsonString(reason);
        text += std::string(i ? "," : "") + "{\"address\":" + std::to_string(cell.address) +
                ",\"readings\":" + std::to_string(cell.figures.readings) +
                ",\"failed\":" + std::to_string(cell.figures.failures) + ",\"mean" + u +
                "\":" + figure(s.mean, s.decimals) + ",\"sd" + u +
                "\":" + figure(s.deviation, s.decimals) + ",\"min" + u +
                "\":" + figure(s.minimum, s.extremeDecimals) + ",\"max" + u +
                "\":" + figure(s.maximum, s.extremeDecimals) + ",\"noise" + u +
                "\":" + figure(s.noise, cell.calibration ? s.decimals : 0) + ",\"drift" + u +
                "_per_min\":" + figure(s.drift, s.decimals) +
                ",\"settle_s\":" + (any && !settle.empty() ? settle : "null") + ",\"verdict\":\"" +
                (cell.verdict.pass ? "PASS" : "FAIL") + "\",\"reasons\":[" + reasons + "]}";
    }
    return text + "]}\n";
}

} // namespace loadcell
