#include "analysis/health/TrunkHealth.h"

#include "analysis/facts/KnownFields.h"
#include "base/OctetText.h"

#include <utility>

namespace truno {

TrunkHealth::TrunkHealth(HealthOptions options, CircuitHealth::FindingSink onFinding)
    : options_(std::move(options)), kpis_(options_.kpis), circuits_(options_.checks, std::move(onFinding)) {
    if (!options_.alarms.empty()) options_.countKpis = true;
    if (options_.interval > 0) {
        KpiOptions grouped = options_.kpis;
        grouped.by = KpiGrouping::Interval;
        grouped.interval = options_.interval;
        byInterval_.emplace(std::move(grouped));
    }
}

void TrunkHealth::addMessage(const MessageFacts& message, std::optional<std::int64_t> at, const Call* call,
                             bool passes) {
    if (options_.countKpis) kpis_.noteInstant(at, message.switchIndex());
    if (byInterval_) byInterval_->noteInstant(at, message.switchIndex());
    if (options_.circuits) circuits_.add(message, at, passes);
    // Steps are kept only while fewer ladders than asked for are full.
    if (options_.ladders == 0 || call == nullptr || !call->opened || ladders_.size() >= options_.ladders) return;
    keepStep(message, *call);
}

void TrunkHealth::keepStep(const MessageFacts& message, const Call& call) {
    const RecordFacts& record = message.record();
    LadderStep step{.record = record.record,
                    .time = std::string(record.time),
                    .direction = record.direction,
                    .acronym = std::string(record.acronym),
                    .note = {}};
    if (step.acronym.empty() && record.typeCode >= 0) appendHexOctet(step.acronym, static_cast<std::uint8_t>(record.typeCode));
    if (!record.decoded) {
        step.note = "not decoded";
    } else if (const FieldFact* cause = message.find(knownFields().causeValue); cause != nullptr && cause->hasNumber) {
        step.note = "cause " + std::to_string(cause->number);
    }
    open_[call.firstRecord].push_back(std::move(step));
}

void TrunkHealth::addCall(const Call& call, bool passes, bool logEnded) {
    // Without ladders, no steps are kept.
    const auto found = open_.empty() ? open_.end() : open_.find(call.firstRecord);
    if (!passes) {
        if (found != open_.end()) open_.erase(found);
        return;
    }
    // A call that ended at the last message of the log goes out only when the log ends too: only
    // one still open then ran to the log's end.
    const bool ranToEnd = logEnded && call.outcome == CallOutcome::Incomplete;
    if (options_.countKpis) kpis_.addCall(call, ranToEnd);
    if (byInterval_) byInterval_->addCall(call, ranToEnd);
    const bool ended = call.outcome == CallOutcome::Unanswered || call.outcome == CallOutcome::Reset;
    const bool failed = call.opened && ended && !kpis_.reachedUser(call);
    if (failed) ++failedCalls_;
    if (found == open_.end()) return;
    if (failed && ladders_.size() < options_.ladders) ladders_.push_back(Ladder{call, std::move(found->second)});
    open_.erase(found);
}

TrunkHealth TrunkHealth::copySoFar() const {
    // Whole, so that what is added to the health is copied too; the steps of calls still open
    // (at most the ladders asked for) are let go.
    TrunkHealth copy(*this);
    copy.open_.clear();
    return copy;
}

void TrunkHealth::finishSoFar() {
    kpis_.finish();
    if (byInterval_) byInterval_->finish();
}

void TrunkHealth::finish(std::span<const std::string> inputWarnings) {
    kpis_.finish();
    if (byInterval_) byInterval_->finish();
    circuits_.finish(inputWarnings);
    open_.clear();
    if (options_.alarms.empty()) return;
    const std::vector<const KpiSet*> sets =
        kpis_.options().by == KpiGrouping::None ? std::vector<const KpiSet*>{&kpis_.total()} : kpis_.groups();
    for (Finding& finding : crossedAlarms(options_.alarms, sets)) circuits_.report(std::move(finding));
}

}  // namespace truno
