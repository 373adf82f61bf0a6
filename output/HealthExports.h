#pragma once
// The trunk's health as text, JSON and CSV: the KPIs (whole log and groups), the circuits at the
// end of the log, and the findings of the protocol checks (one line, object or row each, written
// as they are found). JSON objects have a "switch" member and CSV rows a last "switch" column;
// the text tables have a SWITCH column only when `switchColumn` (its width) is not 0: for a run
// that spans several switches. With several files, each object and row names its file first
// (FileColumn); `header`: a CSV table begins with its header row (the first file's only).
#include "analysis/health/CircuitHealth.h"
#include "analysis/health/TrafficKpis.h"
#include "output/FileColumn.h"

#include <optional>
#include <string>

namespace truno {

void appendKpiText(std::string& out, const TrafficKpis& kpis);
void appendKpiJson(std::string& out, const TrafficKpis& kpis, const FileColumn& file = {});
void appendKpiCsv(std::string& out, const TrafficKpis& kpis, const FileColumn& file = {}, bool header = true);

// With a filter, only the circuits one of whose messages passed it (`onlyPassed`).
// `routeColumn`: a ROUTE column after the switch's (a run of captures).
void appendCircuitsText(std::string& out, const CircuitHealth& health, bool onlyPassed, std::size_t switchColumn = 0,
                        bool routeColumn = false);
void appendCircuitsJson(std::string& out, const CircuitHealth& health, bool onlyPassed, const FileColumn& file = {});
// `route`: a route column after the switch's (a run of captures), in the CSV of circuits and
// findings.
void appendCircuitsCsv(std::string& out, const CircuitHealth& health, bool onlyPassed, const FileColumn& file = {},
                       bool header = true, bool route = false);

void appendFindingHeading(std::string& out, std::size_t switchColumn = 0, bool routeColumn = false);
void appendFindingText(std::string& out, const Finding& finding, std::size_t switchColumn = 0, bool routeColumn = false);
void appendFindingJson(std::string& out, const Finding& finding, const FileColumn& file = {});
void appendFindingCsvHeader(std::string& out, const FileColumn& file = {}, bool route = false);
void appendFindingCsv(std::string& out, const Finding& finding, const FileColumn& file = {}, bool route = false);
// After the findings: how many of each kind (or that there were none), and the timers used.
void appendFindingTotals(std::string& out, const CheckOptions& options, std::uint64_t count,
                         const std::array<std::uint64_t, kFindingKindCount>& byKind);

// Pieces the HTML report and the export folder share: an instant ("10:15:22.100", "-" for none),
// a ratio in percent (nothing when the denominator is 0) and as "58.33 %" ("-"), a number with so
// many decimals, a quantile of a distribution, a duration in seconds with three decimals ("-" for
// none), a group's name.
std::string instantText(std::optional<std::int64_t> at);
std::optional<double> percentOf(std::uint64_t numerator, std::uint64_t denominator);
std::string percentText(std::uint64_t numerator, std::uint64_t denominator);
std::string fixedText(double value, int decimals);
std::optional<double> quantileOf(const Distribution& distribution, double q);
std::string secondsText(std::optional<double> milliseconds);
std::string groupName(const KpiSet& set);
// The circuit a finding is on: "16", a range "16-23", or nothing.
std::string findingCircuitText(const Finding& finding);

}  // namespace truno
