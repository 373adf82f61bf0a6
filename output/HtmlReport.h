#pragma once
// The trunk's health as one self-contained HTML file to send to someone without the tool: the
// KPIs, the release causes (a table and a bar chart), the findings, the circuits at the end of
// the log and the ladder diagrams of the first failed calls. CSS and SVG are inline; nothing is
// fetched and no script runs; printing it gives a clean PDF (tables and ladders are not split
// across pages). The numbers of the KPI table carry ids (kpi-seizures, kpi-asr-numerator, ...)
// for programs that read the file.
#include "analysis/health/TrunkHealth.h"

#include <string>

namespace truno {

struct HtmlReportInfo {
    std::string logName;      // the log as named on the command line or in the window
    std::string filter;       // the filter expression that narrowed it; empty: the whole log
    std::string generator;    // "truno-decode 1.6.0"
    std::uint64_t messages = 0;
    std::uint64_t notDecoded = 0;
};

std::string htmlReport(const TrunkHealth& health, const HtmlReportInfo& info);

}  // namespace truno
