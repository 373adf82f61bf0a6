#pragma once
// Alarms on the traffic KPIs: "ner < 95", "asr_percent < 40", "setup_p95_s > 5". Each names a KPI
// by the key its CSV column has (asr, ner and acd are short for asr_percent, ner_percent and
// conversation_mean_s), a comparison and a threshold; a KPI set whose value passes the comparison
// crosses the alarm and gives a kpi-threshold finding (TrunkHealth, at the end of the log: per
// group with --by, else for the whole log). A KPI with no value (a ratio over no seizure, a delay
// never measured) crosses no alarm.
#include "analysis/health/CircuitHealth.h"
#include "analysis/health/TrafficKpis.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

enum class AlarmComparison : std::uint8_t { Below, AtMost, Above, AtLeast };

struct KpiAlarm {
    std::string key;  // as given ("ner")
    std::size_t row = 0;
    AlarmComparison comparison = AlarmComparison::Below;
    double threshold = 0;
    std::string text;  // "ner < 95"
};

// Reads "KEY OP NUMBER" with OP one of < <= > >=; false with `error` set otherwise.
bool parseKpiAlarm(std::string_view text, KpiAlarm& alarm, std::string& error);
// A KPI of a set by its key (nothing when it has no value, or the key is none).
std::optional<double> kpiValue(const KpiSet& set, std::string_view key);
// The findings of the alarms the sets cross, in the order of the sets, then of the alarms.
std::vector<Finding> crossedAlarms(const std::vector<KpiAlarm>& alarms, const std::vector<const KpiSet*>& sets);

}  // namespace truno
