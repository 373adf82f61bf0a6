#include "output/HtmlReport.h"

#include "parameters/callcontrol/CauseValues.h"
#include "output/HealthExports.h"
#include "analysis/facts/LogClock.h"

// GCC 12 sees an overlap in the inlined std::string operator+ where there is none (GCC bug
// 105329) and -Wrestrict fails the build on the text pieces joined here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
#include <algorithm>
#include <cstdio>

namespace truno {
namespace {

// Circuits listed in full up to this many; past it, those that need attention only.
constexpr std::size_t kAllCircuitsUpTo = 300;
// Findings listed (all are counted).
constexpr std::size_t kFindingsListed = 1000;

constexpr std::string_view kStyle = R"(<style>
body { font-family: "Liberation Sans", Arial, sans-serif; margin: 2em; color: #222; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
h2 { font-size: 1.2em; margin-top: 1.6em; border-bottom: 1px solid #999; }
p.meta { color: #555; margin-top: 0; }
table { border-collapse: collapse; margin: 0.6em 0; page-break-inside: avoid; }
th, td { border: 1px solid #bbb; padding: 0.2em 0.6em; text-align: right; font-size: 0.9em; }
th { background: #eee; }
td.text, th.text { text-align: left; }
tr.attention td { background: #fde8e8; }
.ok { color: #1a7f37; font-weight: bold; }
figure { margin: 0.6em 0 1.2em 0; page-break-inside: avoid; }
figcaption { font-size: 0.9em; color: #444; }
@media print { body { margin: 0; } h2 { page-break-after: avoid; } }
</style>
)";

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                // Control characters of a log line are not shown raw.
                if (static_cast<unsigned char>(c) < 0x20)
                    out += ' ';
                else
                    out += c;
        }
    }
}

std::string escaped(std::string_view text) {
    std::string out;
    appendEscaped(out, text);
    return out;
}

void cell(std::string& out, std::string_view text, std::string_view id = {}, bool left = false) {
    out += "<td";
    if (!id.empty()) {
        out += " id=\"";
        out += id;
        out += '"';
    }
    if (left) out += " class=\"text\"";
    out += '>';
    appendEscaped(out, text);
    out += "</td>";
}

void headings(std::string& out, std::initializer_list<std::string_view> names) {
    out += "<tr>";
    bool first = true;
    for (const std::string_view name : names) {
        out += first ? "<th class=\"text\">" : "<th>";
        out += name;
        out += "</th>";
        first = false;
    }
    out += "</tr>\n";
}

void appendKpis(std::string& out, const TrafficKpis& kpis) {
    const KpiSet& total = kpis.total();
    out += "<h2>Traffic KPIs</h2>\n<table>\n";
    headings(out, {"KPI", "value", "numerator", "denominator"});
    out += "<tr>";
    cell(out, "Seizures (IAM)", {}, true);
    cell(out, std::to_string(total.seizures), "kpi-seizures");
    out += "<td></td><td></td></tr>\n<tr>";
    cell(out, "ASR: answered / seizures (E.411)", {}, true);
    cell(out, percentText(total.answered, total.seizures), "kpi-asr");
    cell(out, std::to_string(total.answered), "kpi-asr-numerator");
    cell(out, std::to_string(total.seizures), "kpi-asr-denominator");
    out += "</tr>\n<tr>";
    cell(out, "NER: reached the called user / seizures (E.425)", {}, true);
    cell(out, percentText(total.reachedUser, total.seizures), "kpi-ner");
    cell(out, std::to_string(total.reachedUser), "kpi-ner-numerator");
    cell(out, std::to_string(total.seizures), "kpi-ner-denominator");
    out += "</tr>\n<tr>";
    cell(out, "Carried traffic (erlangs)", {}, true);
    cell(out, fixedText(total.erlangs(), 4), "kpi-erlangs");
    cell(out, secondsText(static_cast<double>(total.busy)) + " s");
    cell(out, secondsText(static_cast<double>(total.observed)) + " s");
    out += "</tr>\n<tr>";
    cell(out, "Most circuits busy at once", {}, true);
    cell(out, std::to_string(kpis.peakBusy()), "kpi-peak-busy");
    cell(out, "at " + instantText(kpis.peakAt()));
    out += "<td></td></tr>\n<tr>";
    cell(out, "Busiest hour", {}, true);
    cell(out, instantText(kpis.busiestHour()), "kpi-busiest-hour");
    cell(out, fixedText(kpis.busiestHourErlangs(), 4) + " erlangs" +
                  (kpis.busiestHour() && kpis.busiestHourCovered() < 3600000
                       ? " in the " + secondsText(static_cast<double>(kpis.busiestHourCovered())) + " s the log covers"
                       : std::string()));
    out += "<td></td></tr>\n</table>\n";

    out += "<table>\n";
    headings(out, {"delay (s)", "count", "mean", "median", "95th percentile"});
    const std::pair<std::string_view, const Distribution*> delays[] = {
        {"setup (last address message to first backward message)", &total.setup},
        {"answer (ACM to ANM)", &total.answer},
        {"conversation (answer to REL; mean = ACD)", &total.conversation},
        {"seizure holding (IAM to RLC)", &total.holding},
    };
    for (const auto& [name, distribution] : delays) {
        const Distribution& d = *distribution;
        out += "<tr>";
        cell(out, name, {}, true);
        cell(out, std::to_string(d.count()));
        cell(out, secondsText(d.mean()));
        cell(out, secondsText(quantileOf(d, 0.5)));
        cell(out, secondsText(quantileOf(d, 0.95)));
        out += "</tr>\n";
    }
    out += "</table>\n";

    if (kpis.options().by == KpiGrouping::None) return;
    out += "<table>\n";
    headings(out, {"group", "seizures", "answered", "ASR", "reached", "NER", "mean setup s", "ACD s", "erlangs"});
    for (const KpiSet* set : kpis.groups()) {
        out += "<tr>";
        cell(out, groupName(*set), {}, true);
        cell(out, std::to_string(set->seizures));
        cell(out, std::to_string(set->answered));
        cell(out, percentText(set->answered, set->seizures));
        cell(out, std::to_string(set->reachedUser));
        cell(out, percentText(set->reachedUser, set->seizures));
        cell(out, secondsText(set->setup.mean()));
        cell(out, secondsText(set->conversation.mean()));
        cell(out, fixedText(set->erlangs(), 4));
        out += "</tr>\n";
    }
    out += "</table>\n";
}

void appendCauses(std::string& out, const KpiSet& total) {
    out += "<h2>Release causes</h2>\n<p>Of the calls released, by the cause of each call's first REL.</p>\n";
    const std::uint64_t releases = total.releases();
    if (releases == 0) {
        out += "<p>No release in the log.</p>\n";
        return;
    }
    out += "<table>\n";
    headings(out, {"cause", "class", "releases", "share"});
    std::uint64_t most = 1;
    for (const auto& [value, count] : total.causes) most = std::max(most, count);
    for (const auto& [value, count] : total.causes) {
        out += "<tr>";
        cell(out, std::to_string(value) + " " + std::string(causeName(value)), {}, true);
        cell(out, causeClassName(causeClassOf(value)), {}, true);
        cell(out, std::to_string(count), "cause-" + std::to_string(value));
        cell(out, percentText(count, releases));
        out += "</tr>\n";
    }
    out += "</table>\n";
    // The same as bars.
    constexpr int kBarHeight = 18;
    constexpr int kLabelWidth = 280;
    constexpr int kBarWidth = 360;
    const auto rows = static_cast<int>(total.causes.size());
    out += "<figure><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kLabelWidth + kBarWidth + 60) +
           "\" height=\"" + std::to_string(rows * kBarHeight + 4) + "\" font-size=\"12\">\n";
    int y = 0;
    for (const auto& [value, count] : total.causes) {
        const auto width = static_cast<int>(static_cast<double>(kBarWidth) * static_cast<double>(count) /
                                            static_cast<double>(most));
        out += "<text x=\"0\" y=\"" + std::to_string(y + 13) + "\">";
        appendEscaped(out, std::to_string(value) + " " + std::string(causeName(value)).substr(0, 40));
        out += "</text><rect x=\"" + std::to_string(kLabelWidth) + "\" y=\"" + std::to_string(y + 2) + "\" width=\"" +
               std::to_string(std::max(width, 1)) + "\" height=\"" + std::to_string(kBarHeight - 4) +
               "\" fill=\"" + (causeClassOf(value) == CauseClass::Normal ? "#4a90d9" : "#d9534f") + "\"/>";
        out += "<text x=\"" + std::to_string(kLabelWidth + std::max(width, 1) + 4) + "\" y=\"" + std::to_string(y + 13) +
               "\">" + std::to_string(count) + "</text>\n";
        y += kBarHeight;
    }
    out += "</svg><figcaption>Releases per cause value (Q.850): blue the normal class, red the others.</figcaption></figure>\n";
}

// Whether the rows name more than one switch (`switchOf`: a row's switch; rows of no switch, with
// an empty name, do not count): their table then gets a switch column.
template <class Rows, class SwitchOf>
bool ofSeveralSwitches(const Rows& rows, SwitchOf switchOf) {
    std::string_view first;
    for (const auto& row : rows) {
        const std::string_view name = switchOf(row);
        if (name.empty()) continue;
        if (first.empty()) first = name;
        if (name != first) return true;
    }
    return false;
}

void appendFindings(std::string& out, const CircuitHealth& health, bool filtered) {
    out += "<h2>Protocol checks</h2>\n";
    std::uint64_t shown = 0;
    for (const Finding& finding : health.findings()) shown += (!filtered || finding.passed) ? 1 : 0;
    if (health.findingCount() == 0 || shown == 0) {
        out += "<p class=\"ok\" id=\"findings-count\" data-count=\"0\">No findings.</p>\n";
    } else {
        out += "<p id=\"findings-count\" data-count=\"" + std::to_string(health.findingCount()) + "\">" +
               std::to_string(health.findingCount()) + " findings:";
        for (std::size_t k = 0; k < kFindingKindCount; ++k)
            if (health.findingsByKind()[k] != 0)
                out += " " + std::to_string(health.findingsByKind()[k]) + " " +
                       std::string(findingKindName(static_cast<FindingKind>(k))) + ",";
        out.back() = '.';
        out += "</p>\n<table>\n";
        // Findings on the circuits of several switches name theirs, as the circuits do (an input
        // warning is of no switch).
        const bool switches = ofSeveralSwitches(health.findings(), [](const Finding& f) { return std::string_view(f.switchName); });
        if (switches)
            headings(out, {"record", "time", "switch", "circuit", "kind", "finding"});
        else
            headings(out, {"record", "time", "circuit", "kind", "finding"});
        std::size_t listed = 0;
        for (const Finding& finding : health.findings()) {
            if ((filtered && !finding.passed) || listed == kFindingsListed) continue;
            ++listed;
            out += "<tr>";
            cell(out, finding.record != 0 ? std::to_string(finding.record) : std::string());
            cell(out, finding.time, {}, true);
            if (switches) cell(out, finding.switchName, {}, true);
            cell(out, findingCircuitText(finding));
            cell(out, findingKindName(finding.kind), {}, true);
            cell(out,
                 finding.sentence +
                     (finding.otherRecord != 0 ? " (record " + std::to_string(finding.otherRecord) + ")" : std::string()),
                 {}, true);
            out += "</tr>\n";
        }
        out += "</table>\n";
        if (health.findingCount() > listed)
            out += "<p>The first " + std::to_string(listed) + " findings are listed; truno-decode --checks lists all.</p>\n";
    }
    out += "<p class=\"meta\">Timers:";
    for (const TimerRow& row : timerRows()) {
        out += ' ';
        out += row.name;
        out += ' ';
        out += timerText(health.options().timers[static_cast<std::size_t>(row.timer)]);
        out += ',';
    }
    out.back() = '.';
    out += "</p>\n";
}

void appendCircuits(std::string& out, const CircuitHealth& health, bool filtered) {
    out += "<h2>Circuits at the end of the log</h2>\n";
    std::vector<const CircuitState*> circuits;
    std::size_t attention = 0;
    for (const CircuitState* circuit : health.circuits()) {
        if (filtered && !circuit->passed) continue;
        circuits.push_back(circuit);
        if (circuit->needsAttention()) ++attention;
    }
    out += "<p id=\"circuits-count\" data-count=\"" + std::to_string(circuits.size()) + "\">" +
           std::to_string(circuits.size()) + " circuits, " + std::to_string(attention) +
           " need attention (blocked, reset pending, RLC awaited past T1 or stuck).</p>\n";
    if (circuits.size() > kAllCircuitsUpTo) {
        circuits.resize(attention);
        out += "<p>The circuits that need attention are listed; truno-decode --circuits lists all.</p>\n";
    }
    if (circuits.empty()) return;
    out += "<table>\n";
    // The circuits of several switches (files of several read as one run) name theirs: the same
    // code may be on each.
    const bool switches = ofSeveralSwitches(circuits, [&health](const CircuitState* c) { return health.switchName(*c); });
    if (switches)
        headings(out, {"switch", "circuit", "state", "seizures", "answered", "holding s", "resets", "blockings", "last record"});
    else
        headings(out, {"circuit", "state", "seizures", "answered", "holding s", "resets", "blockings", "last record"});
    for (const CircuitState* circuit : circuits) {
        out += circuit->needsAttention() ? "<tr class=\"attention\">" : "<tr>";
        if (switches) cell(out, health.switchName(*circuit), {}, true);
        cell(out, std::to_string(circuit->code), {}, true);
        cell(out, circuitStateText(*circuit), {}, true);
        cell(out, std::to_string(circuit->seizures));
        cell(out, std::to_string(circuit->answered));
        cell(out, secondsText(static_cast<double>(circuit->holding)));
        cell(out, std::to_string(circuit->resets));
        cell(out, std::to_string(circuit->blockings));
        cell(out, std::to_string(circuit->lastRecord));
        out += "</tr>\n";
    }
    out += "</table>\n";
}

// A ladder: this exchange on the left, the far one on the right; a message sent (S) runs left to
// right, any other right to left.
void appendLadder(std::string& out, const Ladder& ladder) {
    constexpr int kLeft = 150;
    constexpr int kRight = 470;
    constexpr int kStep = 26;
    constexpr int kTop = 30;
    const int height = kTop + static_cast<int>(ladder.steps.size()) * kStep + 10;
    const Call& call = ladder.call;
    out += "<figure><figcaption>Call on circuit " + std::to_string(call.callInstanceCode) + ", first record " +
           std::to_string(call.firstRecord) + ", " + escaped(outcomeName(call.outcome));
    if (!call.called.empty()) out += ", called " + escaped(call.called);
    if (call.cause) out += ", cause " + std::to_string(*call.cause) + " " + escaped(causeName(*call.cause));
    out += "</figcaption>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"620\" height=\"" + std::to_string(height) +
           "\" font-size=\"12\">\n";
    out += "<text x=\"" + std::to_string(kLeft) + "\" y=\"14\" text-anchor=\"middle\">this exchange</text>";
    out += "<text x=\"" + std::to_string(kRight) + "\" y=\"14\" text-anchor=\"middle\">far exchange</text>\n";
    out += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"20\" x2=\"" + std::to_string(kLeft) + "\" y2=\"" +
           std::to_string(height) + "\" stroke=\"#555\"/>";
    out += "<line x1=\"" + std::to_string(kRight) + "\" y1=\"20\" x2=\"" + std::to_string(kRight) + "\" y2=\"" +
           std::to_string(height) + "\" stroke=\"#555\"/>\n";
    int y = kTop;
    for (const LadderStep& step : ladder.steps) {
        const bool sent = step.direction == Direction::Sent;
        const int from = sent ? kLeft : kRight;
        const int to = sent ? kRight : kLeft;
        const int tip = sent ? to - 8 : to + 8;
        out += "<text x=\"0\" y=\"" + std::to_string(y + 4) + "\">";
        appendEscaped(out, step.time.substr(0, 14));
        out += "</text>";
        out += "<line x1=\"" + std::to_string(from) + "\" y1=\"" + std::to_string(y) + "\" x2=\"" + std::to_string(to) +
               "\" y2=\"" + std::to_string(y) + "\" stroke=\"#222\"/>";
        out += "<polygon points=\"" + std::to_string(to) + "," + std::to_string(y) + " " + std::to_string(tip) + "," +
               std::to_string(y - 4) + " " + std::to_string(tip) + "," + std::to_string(y + 4) + "\" fill=\"#222\"/>";
        out += "<text x=\"" + std::to_string((kLeft + kRight) / 2) + "\" y=\"" + std::to_string(y - 3) +
               "\" text-anchor=\"middle\">";
        appendEscaped(out, step.acronym + (step.note.empty() ? "" : " (" + step.note + ")"));
        out += "</text>";
        out += "<text x=\"" + std::to_string(kRight + 10) + "\" y=\"" + std::to_string(y + 4) + "\">record " +
               std::to_string(step.record) + "</text>\n";
        y += kStep;
    }
    out += "</svg></figure>\n";
}

}  // namespace

std::string htmlReport(const TrunkHealth& health, const HtmlReportInfo& info) {
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Trunk health: ";
    appendEscaped(out, info.logName);
    out += "</title>\n";
    out += kStyle;
    out += "</head>\n<body>\n<h1>Trunk health: ";
    appendEscaped(out, info.logName);
    out += "</h1>\n<p class=\"meta\">";
    out += std::to_string(info.messages) + " messages (" + std::to_string(info.notDecoded) + " not decoded), from " +
           instantText(health.kpis().first()) + " to " + instantText(health.kpis().last()) + ". ";
    if (info.filter.empty()) {
        out += "Counted over the whole log.";
    } else {
        out += "Narrowed by the filter <code>";
        appendEscaped(out, info.filter);
        out += "</code>.";
    }
    out += " Made by ";
    appendEscaped(out, info.generator);
    out += ".</p>\n";
    appendKpis(out, health.kpis());
    appendCauses(out, health.kpis().total());
    const bool filtered = !info.filter.empty();
    appendFindings(out, health.circuits(), filtered);
    appendCircuits(out, health.circuits(), filtered);
    out += "<h2>Failed calls</h2>\n<p id=\"failed-count\" data-count=\"" + std::to_string(health.failedCalls()) + "\">" +
           std::to_string(health.failedCalls()) +
           " seizures ended without reaching the called user (not answered, not released with a cause NER counts, "
           "not abandoned after alerting)";
    if (!health.ladders().empty())
        out += "; the ladders of the first " + std::to_string(health.ladders().size()) + " follow";
    out += ".</p>\n";
    for (const Ladder& ladder : health.ladders()) appendLadder(out, ladder);
    out += "</body>\n</html>\n";
    return out;
}

}  // namespace truno
