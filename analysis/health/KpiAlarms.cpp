#include "analysis/health/KpiAlarms.h"

#include "analysis/facts/LogClock.h"
#include "parameters/callcontrol/CauseValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <span>

namespace truno {
namespace {

using Value = std::optional<double>;

Value ratio(std::uint64_t numerator, std::uint64_t denominator) {
    if (denominator == 0) return std::nullopt;
    return 100.0 * static_cast<double>(numerator) / static_cast<double>(denominator);
}

Value seconds(std::optional<double> milliseconds) {
    return milliseconds ? Value(*milliseconds / 1000.0) : std::nullopt;
}

Value quantileSeconds(const Distribution& d, double q) {
    const auto value = d.quantile(q);
    return value ? Value(static_cast<double>(*value) / 1000.0) : std::nullopt;
}

struct KpiRow {
    std::string key;
    int decimals;
    std::function<Value(const KpiSet&)> value;
};

// The keys of the KPIs' CSV columns that are numbers, and the short names.
const std::vector<KpiRow>& kpiRows() {
    static const std::vector<KpiRow> rows = [] {
        std::vector<KpiRow> r = {
            {.key = "seizures", .decimals = 0, .value = [](const KpiSet& s) { return Value(static_cast<double>(s.seizures)); }},
            {.key = "answered", .decimals = 0, .value = [](const KpiSet& s) { return Value(static_cast<double>(s.answered)); }},
            {.key = "asr_percent", .decimals = 2, .value = [](const KpiSet& s) { return ratio(s.answered, s.seizures); }},
            {.key = "asr", .decimals = 2, .value = [](const KpiSet& s) { return ratio(s.answered, s.seizures); }},
            {.key = "reached_user", .decimals = 0,
             .value = [](const KpiSet& s) { return Value(static_cast<double>(s.reachedUser)); }},
            {.key = "ner_percent", .decimals = 2, .value = [](const KpiSet& s) { return ratio(s.reachedUser, s.seizures); }},
            {.key = "ner", .decimals = 2, .value = [](const KpiSet& s) { return ratio(s.reachedUser, s.seizures); }},
            {.key = "acd", .decimals = 3, .value = [](const KpiSet& s) { return seconds(s.conversation.mean()); }},
        };
        constexpr std::pair<std::string_view, Distribution KpiSet::*> kDelays[] = {
            {"setup", &KpiSet::setup}, {"answer", &KpiSet::answer},
            {"conversation", &KpiSet::conversation}, {"holding", &KpiSet::holding}};
        for (const auto& delay : kDelays) {
            const std::string prefix(delay.first);
            Distribution KpiSet::*const member = delay.second;
            r.push_back({.key = prefix + "_count", .decimals = 0,
                         .value = [member](const KpiSet& s) { return Value(static_cast<double>((s.*member).count())); }});
            r.push_back({.key = prefix + "_mean_s", .decimals = 3,
                         .value = [member](const KpiSet& s) { return seconds((s.*member).mean()); }});
            r.push_back({.key = prefix + "_median_s", .decimals = 3,
                         .value = [member](const KpiSet& s) { return quantileSeconds(s.*member, 0.5); }});
            r.push_back({.key = prefix + "_p95_s", .decimals = 3,
                         .value = [member](const KpiSet& s) { return quantileSeconds(s.*member, 0.95); }});
        }
        for (std::size_t c = 0; c < kCauseClassCount; ++c) {
            std::string key = "causes_" + std::string(causeClassName(static_cast<CauseClass>(c)));
            std::replace(key.begin(), key.end(), ' ', '_');
            r.push_back({.key = key, .decimals = 0,
                         .value = [c](const KpiSet& s) { return Value(static_cast<double>(s.causeClasses[c])); }});
        }
        r.push_back({.key = "released_by_calling", .decimals = 0,
                     .value = [](const KpiSet& s) { return Value(static_cast<double>(s.releasedByCalling)); }});
        r.push_back({.key = "released_by_called", .decimals = 0,
                     .value = [](const KpiSet& s) { return Value(static_cast<double>(s.releasedByCalled)); }});
        r.push_back({.key = "holding_s", .decimals = 3,
                     .value = [](const KpiSet& s) { return Value(static_cast<double>(s.busy) / 1000.0); }});
        r.push_back({.key = "observed_s", .decimals = 3,
                     .value = [](const KpiSet& s) { return Value(static_cast<double>(s.observed) / 1000.0); }});
        r.push_back({.key = "erlangs", .decimals = 4, .value = [](const KpiSet& s) { return Value(s.erlangs()); }});
        return r;
    }();
    return rows;
}

struct ComparisonRow {
    std::string_view sign;
    AlarmComparison comparison;
};
// The two-character signs first, so that "<=" is not read as "<".
constexpr ComparisonRow kComparisons[] = {
    {.sign = "<=", .comparison = AlarmComparison::AtMost},
    {.sign = ">=", .comparison = AlarmComparison::AtLeast},
    {.sign = "<", .comparison = AlarmComparison::Below},
    {.sign = ">", .comparison = AlarmComparison::Above},
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool crosses(const KpiAlarm& alarm, double value) {
    switch (alarm.comparison) {
        case AlarmComparison::Below: return value < alarm.threshold;
        case AlarmComparison::AtMost: return value <= alarm.threshold;
        case AlarmComparison::Above: return value > alarm.threshold;
        case AlarmComparison::AtLeast: return value >= alarm.threshold;
    }
    return false;
}

std::string fixed(double value, int decimals) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::string(text, static_cast<std::size_t>(std::max(n, 0)));
}

}  // namespace

bool parseKpiAlarm(std::string_view text, KpiAlarm& alarm, std::string& error) {
    error = "--alarm takes KEY OP NUMBER, such as 'ner < 95', with OP one of < <= > >= and KEY a KPI key (asr, "
            "ner, acd, or a column of --kpi --format csv such as setup_p95_s), not '" +
            std::string(text) + "'";
    const std::size_t at = text.find_first_of("<>");
    if (at == std::string_view::npos) return false;
    const std::string_view key = trimmed(text.substr(0, at));
    const auto row = std::find_if(kpiRows().begin(), kpiRows().end(), [key](const KpiRow& r) { return r.key == key; });
    if (row == kpiRows().end()) return false;
    std::string_view rest = text.substr(at);
    const auto comparison = std::find_if(std::begin(kComparisons), std::end(kComparisons),
                                         [rest](const ComparisonRow& c) { return rest.starts_with(c.sign); });
    const std::string_view number = trimmed(rest.substr(comparison->sign.size()));
    double threshold = 0;
    const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), threshold);
    if (number.empty() || status != std::errc{} || end != number.data() + number.size() || !std::isfinite(threshold))
        return false;
    alarm.key = std::string(key);
    alarm.row = static_cast<std::size_t>(row - kpiRows().begin());
    alarm.comparison = comparison->comparison;
    alarm.threshold = threshold;
    alarm.text = std::string(key) + " " + std::string(comparison->sign) + " " + std::string(number);
    error.clear();
    return true;
}

std::optional<double> kpiValue(const KpiSet& set, std::string_view key) {
    for (const KpiRow& row : kpiRows())
        if (row.key == key) return row.value(set);
    return std::nullopt;
}

std::vector<Finding> crossedAlarms(const std::vector<KpiAlarm>& alarms, const std::vector<const KpiSet*>& sets) {
    std::vector<Finding> findings;
    for (const KpiSet* set : sets) {
        for (const KpiAlarm& alarm : alarms) {
            const KpiRow& row = kpiRows()[alarm.row];
            const Value value = row.value(*set);
            if (!value || !crosses(alarm, *value)) continue;
            std::string sentence = row.key + " " + fixed(*value, row.decimals) + " crosses the alarm " + alarm.text + " in ";
            if (set->start) {
                sentence += "the interval from ";
                appendInstant(sentence, *set->start);
            } else {
                sentence += set->group.empty() ? std::string("the whole log") : "group " + set->group;
            }
            sentence += " (" + std::to_string(set->seizures) + (set->seizures == 1 ? " seizure)" : " seizures)");
            Finding finding;
            finding.kind = FindingKind::KpiThreshold;
            finding.switchName = set->switchName;
            finding.sentence = std::move(sentence);
            findings.push_back(std::move(finding));
        }
    }
    return findings;
}

}  // namespace truno
