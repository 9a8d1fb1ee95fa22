#include "report_html.h"

#include <algorithm>
#include <cmath>

namespace loadcell {
namespace {

constexpr double kWidth = 640, kHeight = 220;
constexpr double kLeft = 80, kRight = 16, kTop = 12, kBottom = 34;

const char* const kStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 10.5pt; color: #111;
       margin: 24px auto; max-width: 760px; }
h1 { font-size: 16pt; margin: 0 0 6px; }
h2 { font-size: 12.5pt; margin: 0 0 6px; }
table { border-collapse: collapse; }
td, th { padding: 2px 10px 2px 0; text-align: left; vertical-align: top; }
table.figures td:nth-child(2) { text-align: right; font-variant-numeric: tabular-nums; }
section.cell { border-top: 1px solid #999; padding: 10px 0 14px; }
.pass { color: #0a6b1f; font-weight: bold; }
.fail { color: #b00020; font-weight: bold; }
.partial { border: 2px solid #b00020; padding: 6px; margin: 8px 0; }
svg { display: block; margin: 6px 0; }
svg .axis { stroke: #333; stroke-width: 1; }
svg .band { fill: #7fb2e5; fill-opacity: 0.35; }
svg .mean { stroke: #d35400; stroke-width: 1.5; stroke-dasharray: 6 3; }
svg .codes { fill: none; stroke: #1f4e8c; stroke-width: 1.2; }
svg .dot { fill: #1f4e8c; }
svg text { font-size: 10px; fill: #333; }
.layout { display: flex; gap: 18px; align-items: flex-start; }
@media print {
  @page { size: A4; margin: 14mm 12mm; }
  body { margin: 0; max-width: none; font-size: 9.5pt; }
  section.cell { break-inside: avoid; page-break-inside: avoid; }
  .pass, .fail, svg .band, svg .mean, svg .codes { print-color-adjust: exact;
                                                   -webkit-print-color-adjust: exact; }
  svg { width: 100%; height: auto; }
}
)";

std::string Number(double value, int decimals) {
    return Decimal(value, decimals);
}

std::string Row(const std::string& name, const std::string& value) {
    return "<tr><th>" + HtmlText(name) + "</th><td>" + HtmlText(value) + "</td></tr>\n";
}

} // namespace

std::string HtmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string CellPlotSvg(const CellRecord& cell) {
    const ShownFigures s = Shown(cell);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"220\" "
                      "viewBox=\"0 0 640 220\" role=\"img\" aria-label=\"codes of address " +
                      std::to_string(cell.address) + " over time\">\n";
    const double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
    svg += "<rect x=\"" + Number(kLeft, 0) + "\" y=\"" + Number(kTop, 0) + "\" width=\"" +
           Number(plotW, 0) + "\" height=\"" + Number(plotH, 0) +
           "\" fill=\"none\" class=\"axis\"/>\n";
    if (cell.codes.empty()) {
        svg += "<text x=\"320\" y=\"110\" text-anchor=\"middle\">no good reading</text>\n";
        return svg + "</svg>\n";
    }
    double low = std::min(s.minimum, s.bandLow), high = std::max(s.maximum, s.bandHigh);
    const double margin =
        std::max((high - low) * 0.08, cell.calibration ? std::fabs(s.factor) : 1.0);
    low -= margin;
    high += margin;
    const double t0 = cell.codes.front().seconds;
    const double span = std::max(cell.codes.back().seconds - t0, 1e-3);
    auto x = [&](double seconds) { return kLeft + (seconds - t0) / span * plotW; };
    auto y = [&](double value) { return kTop + (high - value) / (high - low) * plotH; };

    svg += "<rect class=\"band\" x=\"" + Number(kLeft, 1) + "\" y=\"" + Number(y(s.bandHigh), 1) +
           "\" width=\"" + Number(plotW, 1) + "\" height=\"" +
           Number(std::max(y(s.bandLow) - y(s.bandHigh), 0.5), 1) + "\"/>\n";
    svg += "<line class=\"mean\" x1=\"" + Number(kLeft, 1) + "\" x2=\"" + Number(kLeft + plotW, 1) +
           "\" y1=\"" + Number(y(s.mean), 1) + "\" y2=\"" + Number(y(s.mean), 1) + "\"/>\n";
    std::string points;
    for (const TimedCode& c : cell.codes)
        points += Number(x(c.seconds), 1) + "," + Number(y(s.Value(c.code)), 1) + " ";
    svg += "<polyline class=\"codes\" points=\"" + points + "\"/>\n";
    if (cell.codes.size() <= 200)
        for (const TimedCode& c : cell.codes)
            svg += "<circle class=\"dot\" r=\"1.8\" cx=\"" + Number(x(c.seconds), 1) + "\" cy=\"" +
                   Number(y(s.Value(c.code)), 1) + "\"/>\n";
    const std::string unit = s.unit.empty() ? "counts" : s.unit;
    for (double value : {high - margin, low + margin})
        svg += "<text x=\"" + Number(kLeft - 6, 0) + "\" y=\"" + Number(y(value) + 3, 1) +
               "\" text-anchor=\"end\">" + Number(value, s.decimals) + "</text>\n";
    svg += "<text x=\"" + Number(kLeft - 6, 0) + "\" y=\"" + Number(y(s.mean) + 3, 1) +
           "\" text-anchor=\"end\" fill=\"#d35400\">mean</text>\n";
    svg +=
        "<text x=\"" + Number(kLeft, 0) + "\" y=\"" + Number(kHeight - 18, 0) + "\">0 s</text>\n";
    svg += "<text x=\"" + Number(kLeft + plotW, 0) + "\" y=\"" + Number(kHeight - 18, 0) +
           "\" text-anchor=\"end\">" + Number(span, 1) + " s</text>\n";
    svg += "<text x=\"" + Number(kLeft + plotW / 2, 0) + "\" y=\"" + Number(kHeight - 4, 0) +
           "\" text-anchor=\"middle\">time since the first reading; " + unit +
           ", mean dashed, settled band shaded</text>\n";
    return svg + "</svg>\n";
}

std::string ReportHtml(const RunFacts& facts, const std::vector<CellRecord>& cells) {
    size_t passed = 0;
    for (const CellRecord& cell : cells)
        passed += cell.verdict.pass ? 1 : 0;
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Load cell check " +
                       HtmlText(facts.date) + "</title>\n<style>" + kStyle +
                       "</style>\n</head>\n<body>\n";
    html += "<h1>Load cell check: " + std::to_string(passed) + " of " +
            std::to_string(cells.size()) + " cells pass</h1>\n<table class=\"facts\">\n";
    html += Row("Date", facts.date);
    html += Row("Port", facts.port);
    html += Row("Line parameters", facts.params);
    html += Row("Readings per cell", std::to_string(facts.readingsAsked) + ", every " +
                                         std::to_string(facts.intervalMs) + " ms");
    html += Row("Tool", "loadcell (PortBench) " + facts.version);
    if (!facts.operatorName.empty()) html += Row("Operator", facts.operatorName);
    html += "</table>\n";
    if (!facts.complete)
        html += "<p class=\"partial\">Partial record: " + HtmlText(facts.stopped) + ".</p>\n";
    for (const CellRecord& cell : cells) {
        const ShownFigures s = Shown(cell);
        const CheckFigures& f = cell.figures;
        const std::string unit = s.unit.empty() ? " counts" : " " + s.unit;
        const bool any = f.readings > 0;
        auto figure = [&](double value, int decimals, const std::string& after) {
            return any ? Number(value, decimals) + after : std::string("-");
        };
        html += "<section class=\"cell\">\n<h2>Address " + std::to_string(cell.address) +
                ": <span class=\"" + (cell.verdict.pass ? "pass\">PASS" : "fail\">FAIL") +
                "</span></h2>\n";
        if (!cell.verdict.pass) {
            html += "<p class=\"fail\">";
            for (size_t i = 0; i < cell.verdict.reasons.size(); ++i)
                html += (i ? "; " : "") + HtmlText(cell.verdict.reasons[i]);
            html += "</p>\n";
        }
        html += CellPlotSvg(cell);
        html += "<div class=\"layout\"><table class=\"figures\">\n";
        html += Row("Readings", std::to_string(f.readings));
        html += Row("Failed", std::to_string(f.failures));
        html += Row("Mean", figure(s.mean, s.decimals, unit));
        html += Row("Standard deviation", figure(s.deviation, s.decimals, unit));
        html += Row("Minimum / maximum", any ? Number(s.minimum, s.extremeDecimals) + " / " +
                                                   Number(s.maximum, s.extremeDecimals) + unit
                                             : "-");
        html += Row("Noise, peak to peak", figure(s.noise, s.unit.empty() ? 0 : s.decimals, unit));
        html += Row("Drift", figure(s.drift, s.decimals, unit + "/min"));
        html += Row("Settled after", any && f.settleSeconds != kNeverSettled
                                         ? Number(f.settleSeconds, 2) + " s"
                                     : any ? "not settled"
                                           : "-");
        html += "</table>\n<table class=\"figures\">\n";
        const Limits& l = cell.limits;
        html += Row("Limit: noise", l.maxNoise ? std::to_string(*l.maxNoise) + " counts" : "none");
        html += Row("Limit: drift", l.maxDrift ? Number(*l.maxDrift, 2) + " counts/min" : "none");
        html += Row("Limit: failures",
                    l.maxFailures ? std::to_string(*l.maxFailures) : std::string("none"));
        if (cell.calibration) {
            const CellCalibration& c = *cell.calibration;
            html +=
                Row("Calibration", Number(c.Factor(), 9) + " " + c.unit + "/count (zero " +
                                       Number(c.zero->code, 2) + ", " + Number(c.spanWeight, 3) +
                                       " " + c.unit + " at " + Number(c.span->code, 2) + ")");
        }
        html += "</table></div>\n</section>\n";
    }
    return html + "</body>\n</html>\n";
}

} // namespace loadcell
