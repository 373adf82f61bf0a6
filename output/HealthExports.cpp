// The trunk's health as text, JSON and CSV.
#include "output/HealthExports.h"

#include "parameters/callcontrol/CauseValues.h"
#include "output/ExportText.h"
#include "output/JsonWriter.h"
#include "analysis/facts/LogClock.h"

// GCC 12 sees an overlap in the inlined std::string operator+ where there is none (GCC bug
// 105329) and -Wrestrict fails the build on the text pieces joined here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace truno {

using namespace exporttext;

namespace {

struct DelayRow {
    std::string_view name;   // in text
    std::string_view key;    // in JSON and CSV
    Distribution KpiSet::*distribution;
};
constexpr DelayRow kDelays[] = {
    {.name = "setup", .key = "setup", .distribution = &KpiSet::setup},
    {.name = "answer", .key = "answer", .distribution = &KpiSet::answer},
    {.name = "conversation (mean: ACD)", .key = "conversation", .distribution = &KpiSet::conversation},
    {.name = "seizure holding", .key = "holding", .distribution = &KpiSet::holding},
};

// Milliseconds as seconds, rounded to the millisecond; null for none.
void memberSeconds(JsonWriter& json, std::string_view name, std::optional<double> milliseconds) {
    json.member(name, milliseconds ? std::optional<double>(std::round(*milliseconds) / 1000.0) : std::nullopt);
}

// {"denominator":...,"numerator":...,"percent":...}, the percent rounded to two decimals (null
// when the denominator is 0).
void memberRatio(JsonWriter& json, std::string_view name, std::uint64_t numerator, std::uint64_t denominator) {
    const auto p = percentOf(numerator, denominator);
    json.key(name);
    json.beginObject();
    json.member("denominator", denominator);
    json.member("numerator", numerator);
    json.member("percent", p ? std::optional<double>(std::round(*p * 100.0) / 100.0) : std::nullopt);
    json.endObject();
}

// A switch's name, or null for none (several, or none named).
void memberSwitch(JsonWriter& json, std::string_view name) {
    json.textOrNull("switch", name);
}

// A KPI set as an object. Its members, and those of the objects in it, are in alphabetical order
// (the outputs' contract: the order the document has always had).
void writeSet(JsonWriter& json, const KpiSet& set) {
    json.beginObject();
    json.member("answered", set.answered);
    memberRatio(json, "asr", set.answered, set.seizures);
    json.key("causes");
    json.beginArray();
    for (const auto& [value, count] : set.causes) {
        json.beginObject();
        json.member("count", count);
        json.member("name", causeName(value));
        json.member("value", value);
        json.endObject();
    }
    json.endArray();
    json.key("causes_by_class");
    json.beginObject();
    static const auto classes = alphabeticalOrder<kCauseClassCount>(
        [](std::size_t c) { return causeClassName(static_cast<CauseClass>(c)); });
    for (const std::size_t c : classes) json.member(causeClassName(static_cast<CauseClass>(c)), set.causeClasses[c]);
    json.endObject();
    json.key("delays");
    json.beginObject();
    static const auto delays = alphabeticalOrder<std::size(kDelays)>([](std::size_t d) { return kDelays[d].key; });
    for (const std::size_t row : delays) {
        const Distribution& d = set.*kDelays[row].distribution;
        json.key(kDelays[row].key);
        json.beginObject();
        json.member("count", d.count());
        memberSeconds(json, "mean_s", d.mean());
        memberSeconds(json, "median_s", quantileOf(d, 0.5));
        memberSeconds(json, "p95_s", quantileOf(d, 0.95));
        json.endObject();
    }
    json.endObject();
    json.member("erlangs", std::round(set.erlangs() * 10000.0) / 10000.0);
    json.member("group", groupName(set));
    json.member("holding_s", static_cast<double>(set.busy) / 1000.0);
    memberRatio(json, "ner", set.reachedUser, set.seizures);
    json.member("observed_s", static_cast<double>(set.observed) / 1000.0);
    json.member("reached_user", set.reachedUser);
    json.key("released_by");
    json.beginObject();
    json.member("called", set.releasedByCalled);
    json.member("calling", set.releasedByCalling);
    json.endObject();
    json.member("releases_without_cause", set.releasesWithoutCause);
    json.member("seizures", set.seizures);
    memberSwitch(json, set.switchName);
    json.endObject();
}

void appendLabel(std::string& out, std::string_view label, std::size_t width) {
    const std::size_t start = out.size();
    out += "  ";
    out += label;
    padTo(out, start, width);
}

void appendSetText(std::string& out, const KpiSet& set) {
    constexpr std::size_t kLabel = 30;
    appendLabel(out, "seizures", kLabel);
    appendNumber(out, set.seizures);
    out += '\n';
    appendLabel(out, "ASR", kLabel);
    out += percentText(set.answered, set.seizures) + "  (" + std::to_string(set.answered) + " answered / " +
           std::to_string(set.seizures) + " seizures)\n";
    appendLabel(out, "NER", kLabel);
    out += percentText(set.reachedUser, set.seizures) + "  (" + std::to_string(set.reachedUser) +
           " reached the called user / " + std::to_string(set.seizures) + " seizures)\n";
    out += "\n  delays (s)                      count       mean     median       95th\n";
    for (const DelayRow& row : kDelays) {
        const Distribution& d = set.*row.distribution;
        const std::size_t start = out.size();
        out += "    ";
        out += row.name;
        padTo(out, start, 30);
        const std::string count = std::to_string(d.count());
        out.append(7 - std::min<std::size_t>(7, count.size()), ' ');
        out += count;
        for (const std::optional<double> value : {d.mean(), quantileOf(d, 0.5), quantileOf(d, 0.95)}) {
            const std::string cell = secondsText(value);
            out.append(11 - std::min<std::size_t>(11, cell.size()), ' ');
            out += cell;
        }
        out += '\n';
    }
    const std::uint64_t releases = set.releases();
    // The cause tables' counts in one column, clear of the longest name before them.
    std::size_t width = 40;
    for (std::size_t c = 0; c < kCauseClassCount; ++c)
        if (set.causeClasses[c] != 0) width = std::max(width, 6 + causeClassName(static_cast<CauseClass>(c)).size());
    for (const auto& [value, count] : set.causes)
        width = std::max(width, 7 + std::to_string(value).size() + causeName(value).size());
    out += "\n  release causes by class (calls released: " + std::to_string(releases) +
           ", by the cause of each one's first REL)\n";
    for (std::size_t c = 0; c < kCauseClassCount; ++c) {
        if (set.causeClasses[c] == 0) continue;
        appendLabel(out, "  " + std::string(causeClassName(static_cast<CauseClass>(c))), width);
        out += std::to_string(set.causeClasses[c]) + "  " + percentText(set.causeClasses[c], releases) + '\n';
    }
    out += "  release causes by value (calls released)\n";
    for (const auto& [value, count] : set.causes) {
        appendLabel(out, "  " + std::to_string(value) + " " + std::string(causeName(value)), width);
        out += std::to_string(count) + "  " + percentText(count, releases) + '\n';
    }
    if (set.releasesWithoutCause != 0) {
        appendLabel(out, "  cause not known", width);
        out += std::to_string(set.releasesWithoutCause) + '\n';
    }
    out += "  released by\n";
    appendLabel(out, "  calling side", width);
    out += std::to_string(set.releasedByCalling) + '\n';
    appendLabel(out, "  called side", width);
    out += std::to_string(set.releasedByCalled) + '\n';
    out += '\n';
    appendLabel(out, "carried traffic", kLabel);
    out += fixedText(set.erlangs(), 4) + " erlangs (" + secondsText(static_cast<double>(set.busy)) + " s of holding in " +
           secondsText(static_cast<double>(set.observed)) + " s)\n";
}

constexpr std::string_view kGroupColumns =
    "GROUP                 SEIZURES  ANSWERED    ASR %   REACHED    NER %   SETUP s  SETUP 95%     ACD s   ERLANGS\n";

void appendGroupRow(std::string& out, const KpiSet& set) {
    const std::size_t start = out.size();
    out += groupName(set);
    padTo(out, start, 20);
    const auto cell = [&out](const std::string& text, std::size_t width) {
        out.append(width - std::min(width, text.size()), ' ');
        out += text;
    };
    cell(std::to_string(set.seizures), 10);
    cell(std::to_string(set.answered), 10);
    cell(percentText(set.answered, set.seizures).substr(0, percentText(set.answered, set.seizures).find(' ')), 9);
    cell(std::to_string(set.reachedUser), 10);
    cell(percentText(set.reachedUser, set.seizures).substr(0, percentText(set.reachedUser, set.seizures).find(' ')), 9);
    cell(secondsText(set.setup.mean()), 10);
    cell(secondsText(quantileOf(set.setup, 0.95)), 11);
    cell(secondsText(set.conversation.mean()), 10);
    cell(fixedText(set.erlangs(), 4), 10);
    out += '\n';
}

std::string groupingName(const KpiOptions& options) {
    switch (options.by) {
        case KpiGrouping::Interval: {
            const std::int64_t ms = options.interval;
            if (ms % 3600000 == 0) return std::to_string(ms / 3600000) + "h";
            if (ms % 60000 == 0) return std::to_string(ms / 60000) + "m";
            return std::to_string(ms / 1000) + "s";
        }
        case KpiGrouping::CircuitGroup: return "cic:" + std::to_string(options.size);
        case KpiGrouping::CalledPrefix: return "called:" + std::to_string(options.size);
        case KpiGrouping::Direction: return "direction";
        case KpiGrouping::Switch: return "switch";
        case KpiGrouping::Route: return "route";
        case KpiGrouping::None: break;
    }
    return "";
}

}  // namespace

std::string instantText(std::optional<std::int64_t> at) {
    if (!at) return "-";
    std::string text;
    appendInstant(text, *at);
    return text;
}

std::optional<double> percentOf(std::uint64_t numerator, std::uint64_t denominator) {
    if (denominator == 0) return std::nullopt;
    return 100.0 * static_cast<double>(numerator) / static_cast<double>(denominator);
}

std::string fixedText(double value, int decimals) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::string(text, static_cast<std::size_t>(n));
}

std::optional<double> quantileOf(const Distribution& distribution, double q) {
    const auto value = distribution.quantile(q);
    return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

std::string percentText(std::uint64_t numerator, std::uint64_t denominator) {
    const auto p = percentOf(numerator, denominator);
    return p ? fixedText(*p, 2) + " %" : std::string("-");
}

std::string secondsText(std::optional<double> milliseconds) {
    if (!milliseconds) return "-";
    return fixedText(*milliseconds / 1000.0, 3);
}

std::string findingCircuitText(const Finding& finding) {
    if (!finding.circuit) return {};
    std::string text = std::to_string(*finding.circuit);
    if (finding.lastCircuit) text += "-" + std::to_string(*finding.lastCircuit);
    return text;
}

std::string groupName(const KpiSet& set) {
    if (set.start) return instantText(set.start);
    return set.group.empty() ? std::string("all") : set.group;
}

void appendKpiText(std::string& out, const TrafficKpis& kpis) {
    out += "Observed: " + instantText(kpis.first()) + " to " + instantText(kpis.last()) + " (" +
           secondsText(static_cast<double>(kpis.total().observed)) + " s)\n\nWhole log\n";
    appendSetText(out, kpis.total());
    appendLabel(out, "most circuits busy at once", 30);
    out += std::to_string(kpis.peakBusy()) + ", first at " + instantText(kpis.peakAt()) + '\n';
    appendLabel(out, "busiest hour", 30);
    if (kpis.busiestHour()) {
        out += instantText(kpis.busiestHour()) + " (" + fixedText(kpis.busiestHourErlangs(), 4) + " erlangs";
        if (kpis.busiestHourCovered() < 3600000)
            out += " in the " + secondsText(static_cast<double>(kpis.busiestHourCovered())) +
                   " s of it the log covers; no hour is covered whole";
        out += ")\n";
    } else
        out += "-\n";
    out += "\nNER counts as reaching the called user: answered, released by the calling side after an ACM or CPG,\n"
           "or released with cause";
    for (const std::uint32_t cause : kpis.options().nerCauses) out += ' ' + std::to_string(cause);
    out += ".\n";
    if (kpis.options().by == KpiGrouping::None) return;
    out += "\nBy " + groupingName(kpis.options()) + "\n";
    out += kGroupColumns;
    for (const KpiSet* set : kpis.groups()) appendGroupRow(out, *set);
}

// The members in alphabetical order, as in writeSet.
void appendKpiJson(std::string& out, const TrafficKpis& kpis, const FileColumn& file) {
    const auto instantOrNull = [](std::optional<std::int64_t> at) {
        return at ? std::optional<std::string>(instantText(at)) : std::nullopt;
    };
    appendJsonText(out, JsonLayout::Indented, [&](JsonWriter& json) {
        json.beginObject();
        json.leading(file.json());
        const bool grouped = kpis.options().by != KpiGrouping::None;
        if (grouped) {
            json.member("by", groupingName(kpis.options()));
            json.key("groups");
            json.beginArray();
            for (const KpiSet* set : kpis.groups()) writeSet(json, *set);
            json.endArray();
        }
        json.key("ner_causes");
        json.beginArray();
        for (const std::uint32_t cause : kpis.options().nerCauses) json.number(std::uint64_t{cause});
        json.endArray();
        json.key("observed");
        json.beginObject();
        json.member("first", instantText(kpis.first()));
        json.member("last", instantText(kpis.last()));
        json.member("seconds", static_cast<double>(kpis.total().observed) / 1000.0);
        json.endObject();
        json.key("total");
        writeSet(json, kpis.total());
        json.key("traffic");
        json.beginObject();
        json.member("busiest_hour", instantOrNull(kpis.busiestHour()));
        json.member("busiest_hour_covered_s", static_cast<double>(kpis.busiestHourCovered()) / 1000.0);
        json.member("busiest_hour_erlangs", std::round(kpis.busiestHourErlangs() * 10000.0) / 10000.0);
        json.member("peak_at", instantOrNull(kpis.peakAt()));
        json.member("peak_busy", kpis.peakBusy());
        json.endObject();
        json.endObject();
    });
}

namespace {

// The header row of the KPIs' CSV.
void appendKpiCsvHeader(std::string& out, const FileColumn& file) {
    out += file.csvHeader();
    out += "group,seizures,answered,asr_percent,reached_user,ner_percent";
    for (const DelayRow& row : kDelays) {
        for (const std::string_view measure : {"count", "mean_s", "median_s", "p95_s"}) {
            out += ',';
            out += row.key;
            out += '_';
            out += measure;
        }
    }
    for (std::size_t c = 0; c < kCauseClassCount; ++c) {
        std::string name(causeClassName(static_cast<CauseClass>(c)));
        for (char& ch : name) ch = ch == ' ' ? '_' : ch;
        out += ",causes_" + name;
    }
    out += ",released_by_calling,released_by_called,holding_s,observed_s,erlangs,switch";
    out += kCsvLineEnd;
}

}  // namespace

void appendKpiCsv(std::string& out, const TrafficKpis& kpis, const FileColumn& file, bool header) {
    if (header) appendKpiCsvHeader(out, file);
    const auto row = [&out, &file](const KpiSet& set) {
        out += file.csv();
        appendCsvField(out, groupName(set));
        out += ',' + std::to_string(set.seizures) + ',' + std::to_string(set.answered) + ',';
        const auto p = percentOf(set.answered, set.seizures);
        if (p) out += fixedText(*p, 2);
        out += ',' + std::to_string(set.reachedUser) + ',';
        const auto n = percentOf(set.reachedUser, set.seizures);
        if (n) out += fixedText(*n, 2);
        for (const DelayRow& d : kDelays) {
            const Distribution& dist = set.*d.distribution;
            out += ',' + std::to_string(dist.count());
            for (const std::optional<double> value : {dist.mean(), quantileOf(dist, 0.5), quantileOf(dist, 0.95)}) {
                out += ',';
                if (value) out += fixedText(*value / 1000.0, 3);
            }
        }
        for (std::size_t c = 0; c < kCauseClassCount; ++c) out += ',' + std::to_string(set.causeClasses[c]);
        out += ',' + std::to_string(set.releasedByCalling) + ',' + std::to_string(set.releasedByCalled) + ',' +
               fixedText(static_cast<double>(set.busy) / 1000.0, 3) + ',' +
               fixedText(static_cast<double>(set.observed) / 1000.0, 3) + ',' + fixedText(set.erlangs(), 4) + ',';
        appendCsvField(out, set.switchName);
        out += kCsvLineEnd;
    };
    row(kpis.total());
    for (const KpiSet* set : kpis.groups()) row(*set);
}

namespace {

constexpr std::string_view kCircuitColumns =
    "CIRCUIT     SEIZURES  ANSWERED   HOLDING s  RESETS  BLOCKINGS  LAST RECORD  STATE\n";

}  // namespace

void appendCircuitsText(std::string& out, const CircuitHealth& health, bool onlyPassed, std::size_t switchColumn,
                        bool routeColumn) {
    appendSwitchCell(out, "SWITCH", switchColumn);
    appendRouteCell(out, "ROUTE", routeColumn);
    out += kCircuitColumns;
    std::size_t attention = 0;
    std::size_t shown = 0;
    for (const CircuitState* circuit : health.circuits()) {
        if (onlyPassed && !circuit->passed) continue;
        ++shown;
        if (circuit->needsAttention()) ++attention;
        appendSwitchCell(out, health.switchName(*circuit), switchColumn);
        appendRouteCell(out, circuit->route, routeColumn);
        const std::size_t start = out.size();
        appendNumber(out, circuit->code);
        padTo(out, start, 10);
        appendNumberCell(out, circuit->seizures, 10);
        appendNumberCell(out, circuit->answered, 8);
        const std::string holding = secondsText(static_cast<double>(circuit->holding));
        out.append(10 - std::min<std::size_t>(10, holding.size()), ' ');
        out += holding + "  ";
        appendNumberCell(out, circuit->resets, 6);
        appendNumberCell(out, circuit->blockings, 9);
        appendNumberCell(out, circuit->lastRecord, 11);
        out += circuitStateText(*circuit);
        if (circuit->call == CallState::Busy || circuit->call == CallState::AwaitingReleaseComplete)
            out += " (call of record " + std::to_string(circuit->callRecord) + ", since " + instantText(circuit->since) + ")";
        out += '\n';
    }
    out += "\n" + std::to_string(shown) + " circuit" + (shown == 1 ? "" : "s") + ", " + std::to_string(attention) +
           " need" + (attention == 1 ? "s" : "") +
           " attention at the end of the log (blocked, reset pending, RLC awaited past T1 or stuck)\n";
}

// One object a line, its members in alphabetical order (the outputs' contract).
void appendCircuitsJson(std::string& out, const CircuitHealth& health, bool onlyPassed, const FileColumn& file) {
    for (const CircuitState* circuit : health.circuits()) {
        if (onlyPassed && !circuit->passed) continue;
        appendJsonText(out, JsonLayout::Compact, [&](JsonWriter& json) {
            const bool busy = circuit->call == CallState::Busy;
            const bool waiting = circuit->call == CallState::AwaitingReleaseComplete;
            json.beginObject();
            json.leading(file.json());
            json.member("answered", circuit->answered);
            json.member("blocked_locally_hardware", (circuit->blocked & kLocalHardware) != 0);
            json.member("blocked_locally_maintenance", (circuit->blocked & kLocalMaintenance) != 0);
            json.member("blocked_remotely_hardware", (circuit->blocked & kRemoteHardware) != 0);
            json.member("blocked_remotely_maintenance", (circuit->blocked & kRemoteMaintenance) != 0);
            json.member("blockings", circuit->blockings);
            json.member("busy", busy);
            if (busy || waiting) json.member("call_record", circuit->callRecord);
            json.member("circuit", circuit->code);
            json.member("holding_s", static_cast<double>(circuit->holding) / 1000.0);
            json.member("last_record", circuit->lastRecord);
            json.member("messages", circuit->messages);
            json.member("reset_pending", circuit->resetPending);
            json.member("resets", circuit->resets);
            if (!circuit->route.empty()) json.member("route", circuit->route);
            json.member("seizures", circuit->seizures);
            json.member("state", circuitStateText(*circuit));
            memberSwitch(json, health.switchName(*circuit));
            json.member("waiting_for_rlc", waiting);
            json.endObject();
        });
    }
}

void appendCircuitsCsv(std::string& out, const CircuitHealth& health, bool onlyPassed, const FileColumn& file,
                       bool header, bool route) {
    if (header) {
        out += file.csvHeader();
        out += "circuit,state,seizures,answered,holding_s,resets,blockings,messages,last_record,call_record,switch";
        if (route) out += ",route";
        out += kCsvLineEnd;
    }
    for (const CircuitState* circuit : health.circuits()) {
        if (onlyPassed && !circuit->passed) continue;
        out += file.csv();
        out += std::to_string(circuit->code) + ',';
        appendCsvField(out, circuitStateText(*circuit));
        out += ',' + std::to_string(circuit->seizures) + ',' + std::to_string(circuit->answered) + ',' +
               fixedText(static_cast<double>(circuit->holding) / 1000.0, 3) + ',' + std::to_string(circuit->resets) + ',' +
               std::to_string(circuit->blockings) + ',' + std::to_string(circuit->messages) + ',' +
               std::to_string(circuit->lastRecord) + ',';
        if (circuit->call == CallState::Busy || circuit->call == CallState::AwaitingReleaseComplete)
            out += std::to_string(circuit->callRecord);
        out += ',';
        appendCsvField(out, health.switchName(*circuit));
        if (route) {
            out += ',';
            appendCsvField(out, circuit->route);
        }
        out += kCsvLineEnd;
    }
}

void appendFindingHeading(std::string& out, std::size_t switchColumn, bool routeColumn) {
    out += "RECORD  TIME          ";
    appendSwitchCell(out, "SWITCH", switchColumn);
    appendRouteCell(out, "ROUTE", routeColumn);
    out += "CIRCUIT     FINDING\n";
}

void appendFindingText(std::string& out, const Finding& finding, std::size_t switchColumn, bool routeColumn) {
    std::string scratch;
    std::size_t start = out.size();
    if (finding.record != 0) appendNumber(out, finding.record);
    padTo(out, start, 6);
    out += "  ";
    start = out.size();
    out += logText(finding.time, scratch);
    padTo(out, start, 12);
    out += "  ";
    appendSwitchCell(out, finding.switchName, switchColumn);
    appendRouteCell(out, finding.route, routeColumn);
    start = out.size();
    out += findingCircuitText(finding);
    padTo(out, start, 10);
    out += "  ";
    out += findingKindName(finding.kind);
    out += ": ";
    out += finding.sentence;
    if (finding.otherRecord != 0) out += " (record " + std::to_string(finding.otherRecord) + ")";
    out += '\n';
}

// One object a line, its members in alphabetical order (the outputs' contract).
void appendFindingJson(std::string& out, const Finding& finding, const FileColumn& file) {
    const auto recordOrNull = [](std::uint64_t record) {
        return record != 0 ? std::optional<std::uint64_t>(record) : std::nullopt;
    };
    appendJsonText(out, JsonLayout::Compact, [&](JsonWriter& json) {
        std::string scratch;
        json.beginObject();
        json.leading(file.json());
        json.member("circuit", finding.circuit);
        json.member("kind", findingKindName(finding.kind));
        json.member("other_record", recordOrNull(finding.otherRecord));
        json.member("record", recordOrNull(finding.record));
        if (!finding.route.empty()) json.member("route", finding.route);
        json.member("sentence", finding.sentence);
        memberSwitch(json, finding.switchName);
        json.member("time", logText(finding.time, scratch));
        json.endObject();
    });
}

void appendFindingCsvHeader(std::string& out, const FileColumn& file, bool route) {
    out += file.csvHeader();
    out += "kind,circuit,record,other_record,time,sentence,switch";
    if (route) out += ",route";
    out += kCsvLineEnd;
}

void appendFindingCsv(std::string& out, const Finding& finding, const FileColumn& file, bool route) {
    std::string scratch;
    out += file.csv();
    out += findingKindName(finding.kind);
    out += ',';
    if (finding.circuit) appendNumber(out, *finding.circuit);
    out += ',';
    if (finding.record != 0) appendNumber(out, finding.record);
    out += ',';
    if (finding.otherRecord != 0) appendNumber(out, finding.otherRecord);
    out += ',';
    appendCsvField(out, logText(finding.time, scratch));
    out += ',';
    appendCsvField(out, finding.sentence);
    out += ',';
    appendCsvField(out, finding.switchName);
    if (route) {
        out += ',';
        appendCsvField(out, finding.route);
    }
    out += kCsvLineEnd;
}

void appendFindingTotals(std::string& out, const CheckOptions& options, std::uint64_t count,
                         const std::array<std::uint64_t, kFindingKindCount>& byKind) {
    if (count == 0) {
        out += "No findings.\n";
    } else {
        out += "\n" + std::to_string(count) + (count == 1 ? " finding:" : " findings:");
        for (std::size_t k = 0; k < kFindingKindCount; ++k)
            if (byKind[k] != 0)
                out += ' ' + std::to_string(byKind[k]) + ' ' + std::string(findingKindName(static_cast<FindingKind>(k))) + ',';
        out.back() = '\n';
    }
    out += "Timers:";
    for (const TimerRow& row : timerRows()) {
        out += ' ';
        out += row.name;
        out += ' ';
        out += timerText(options.timers[static_cast<std::size_t>(row.timer)]);
        out += ',';
    }
    out.back() = '\n';
}

}  // namespace truno
