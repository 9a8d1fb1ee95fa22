// The check's record as one self-contained HTML page: no script, no link out, a plot
// per cell in inline SVG, and a print style for A4.
#ifndef LOADCELL_REPORT_HTML_H
#define LOADCELL_REPORT_HTML_H

#include "check_record.h"

#include <string>
#include <vector>

namespace loadcell {

std::string ReportHtml(const RunFacts& facts, const std::vector<CellRecord>& cells);

// "&lt;" for '<' and so on: a text as HTML shows it.
std::string HtmlText(const std::string& text);

// The plot of one cell's codes over time, with its mean and its settled band.
std::string CellPlotSvg(const CellRecord& cell);

} // namespace loadcell

#endif
