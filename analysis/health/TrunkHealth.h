#pragma once
// Whether a trunk is healthy, from the one analysis of a run: its traffic KPIs (TrafficKpis), its
// circuits and the protocol checks (CircuitHealth), and the message ladders of the first failed
// calls for the shareable report. A failed call is a seizure that ended in the log without
// reaching the called user (the complement of NER's numerator: not answered, not released with
// a cause of the NER table, not abandoned after alerting).
#include "analysis/health/CircuitHealth.h"
#include "analysis/health/KpiAlarms.h"
#include "analysis/health/TrafficKpis.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace truno {

struct HealthOptions {
    KpiOptions kpis;
    CheckOptions checks;
    std::size_t ladders = 10;  // failed calls whose messages are kept for their ladder
    bool circuits = true;      // follow the circuits and run the checks
    bool countKpis = true;     // count the KPIs (always, with alarms)
    // Alarms on the KPIs: at the end, a kpi-threshold finding per group (or, without groups, for
    // the whole log) that crosses one.
    std::vector<KpiAlarm> alarms;
    // The KPIs grouped by this interval too (milliseconds; 0: not), from the same calls, for a
    // view that regroups them by multiples of it (regroupKpis).
    std::int64_t interval = 0;
};

// One message of a kept call, as its ladder shows it.
struct LadderStep {
    std::uint64_t record = 0;
    std::string time;
    Direction direction = Direction::Unknown;
    std::string acronym;  // or the type code in hex when the type is not known
    std::string note;     // the cause of a REL ("cause 34"), or "not decoded"
};

struct Ladder {
    Call call;
    std::vector<LadderStep> steps;
};

class TrunkHealth {
public:
    explicit TrunkHealth(HealthOptions options, CircuitHealth::FindingSink onFinding = {});

    // Every message of the log in order, with its instant and call; `passes`: the filter let it
    // through.
    void addMessage(const MessageFacts& message, std::optional<std::int64_t> at, const Call* call, bool passes);
    // Every finished call; `passes`: the filter selected it; `logEnded`: the log's end finished it.
    void addCall(const Call& call, bool passes, bool logEnded);
    // The log ended (after its last call); its input warnings become findings, then the alarms
    // the KPIs cross.
    void finish(std::span<const std::string> inputWarnings);

    const TrafficKpis& kpis() const { return kpis_; }
    // The KPIs of the calls finished so far, their period brought up to date (while a followed log
    // is read, for --interval).
    const TrafficKpis& kpisSoFar() {
        kpis_.finish();
        return kpis_;
    }
    // A copy of the health as it stands while the log goes on (a followed log's, for a view that
    // shows it as it grows), without the steps kept for the ladders of calls still open; its
    // KPIs are brought up to date by finishSoFar().
    TrunkHealth copySoFar() const;
    // Brings the KPIs' periods and busiest hour up to date, as kpisSoFar() does, the groups by
    // interval too; the log goes on.
    void finishSoFar();
    // The KPIs grouped by the options' interval; null without one.
    const TrafficKpis* kpisByInterval() const { return byInterval_ ? &*byInterval_ : nullptr; }
    // The same while a followed log is read: their periods brought up to date.
    const TrafficKpis* kpisByIntervalSoFar() {
        if (!byInterval_) return nullptr;
        byInterval_->finish();
        return &*byInterval_;
    }
    const CircuitHealth& circuits() const { return circuits_; }
    std::span<const Ladder> ladders() const { return ladders_; }
    std::uint64_t failedCalls() const { return failedCalls_; }

private:
    // The message as a step of its call's ladder.
    void keepStep(const MessageFacts& message, const Call& call);

    HealthOptions options_;
    TrafficKpis kpis_;
    std::optional<TrafficKpis> byInterval_;
    CircuitHealth circuits_;
    std::unordered_map<std::uint64_t, std::vector<LadderStep>> open_;  // by the call's first record
    std::vector<Ladder> ladders_;
    std::uint64_t failedCalls_ = 0;
};

}  // namespace truno
