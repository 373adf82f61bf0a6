#include "analysis/pipeline/LogAnalysis.h"

#include "analysis/facts/KnownFields.h"
#include "analysis/facts/MessageSummary.h"
#include "dispatch/Codes.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace truno {
namespace {

// The parameters of the fields the analysis reads itself (those of knownFields()).
std::bitset<256> parametersRead() {
    std::bitset<256> parameters;
    const KnownFields& known = knownFields();
    for (const FieldRef* field : {&known.calledDigits, &known.callingDigits, &known.causeValue, &known.causeLocation,
                                  &known.event, &known.range, &known.status, &known.supervisionType})
        if (field->parameterCode >= 0 && field->parameterCode <= 255) parameters.set(static_cast<std::size_t>(field->parameterCode));
    return parameters;
}

}  // namespace

LogAnalysis::LogAnalysis(MessageSink onMessage, CallSink onCall, bool allFields, const MessageSelection* selection)
    : onMessage_(std::move(onMessage)),
      onCall_(std::move(onCall)),
      allFields_(allFields || (selection != nullptr && selection->readsFields())),
      selectionReadsFields_(selection != nullptr && selection->readsFields()),
      selection_(selection != nullptr && selection->active() ? selection : nullptr),
      calls_([this](const Call& call) { callFinished(call); }) {
    readTypes();
    if (selection_ != nullptr) {
        wantedRecords_ = selection_->callRecords;
        std::sort(wantedRecords_.begin(), wantedRecords_.end());
        wantedRecords_.erase(std::unique(wantedRecords_.begin(), wantedRecords_.end()), wantedRecords_.end());
    }
}

void LogAnalysis::beginSwitch(std::string_view name) {
    auto found = std::find(switchNames_.begin(), switchNames_.end(), name);
    if (found == switchNames_.end()) {
        if (switchNames_.size() <= std::numeric_limits<SwitchIndex>::max())
            found = switchNames_.emplace(switchNames_.end(), name);
        else
            found = std::prev(switchNames_.end());
    }
    const auto index = static_cast<SwitchIndex>(found - switchNames_.begin());
    if (index >= clocks_.size()) clocks_.resize(std::size_t{index} + 1);
    facts_.setSwitch(index, *found);
}

bool LogAnalysis::fieldsRead(int typeCode) const {
    if (!fieldsReadBeyondJson(typeCode)) return false;
    // The circuits read the circuit group messages' ranges and status; of the call-control
    // messages, the calls read the IAM's numbers and the REL's cause, the statistics the REL's
    // cause, the summary those and the CPG's event.
    if (sinkReadsCallFields_ || callRoleOf(typeCode) == CallRole::Circuit) return true;
    const bool callReads = (typeCode == codes::kInitialAddress && callFieldsRead_.numbers) ||
                           (typeCode == codes::kRelease && callFieldsRead_.cause);
    return (followCalls_ && callReads) || (countStatistics_ && typeCode == codes::kRelease);
}

void LogAnalysis::readTypes() {
    for (int code = 0; code < 256; ++code) typesRead_[static_cast<std::size_t>(code)] = fieldsRead(code);
}

std::bitset<256> LogAnalysis::markedTypes() const {
    std::bitset<256> types;
    for (int code = 0; code < 256; ++code) types[static_cast<std::size_t>(code)] = allFields_ || typesRead_[static_cast<std::size_t>(code)];
    return types;
}

std::bitset<256> LogAnalysis::markedParameters() const {
    return allFields_ ? std::bitset<256>().set() : parametersRead();
}

std::span<const Mark> LogAnalysis::marksRead(std::span<const Mark> marks) {
    static const std::bitset<256> read = parametersRead();
    // As a run that keeps the marks of those parameters alone: a parameter's mark sets whether
    // the marks up to the next one are kept.
    readMarks_.clear();
    bool muted = false;
    for (const Mark& mark : marks) {
        if (mark.kind == MarkKind::Parameter)
            muted = mark.code < 0 || mark.code > 255 || !read[static_cast<std::size_t>(mark.code)];
        else if (muted)
            continue;
        readMarks_.push_back(mark);
    }
    return readMarks_;
}

bool LogAnalysis::wantedRecord(std::uint64_t record) const {
    return std::binary_search(wantedRecords_.begin(), wantedRecords_.end(), record);
}

void LogAnalysis::setRouteOf(MessageFacts& facts) {
    const std::optional<Route> route = routeOf(facts.record());
    if (!route) {
        facts.setRoute(0, {});
        return;
    }
    const std::uint64_t key = std::uint64_t{route->low} << 32 | route->high;
    auto found = routeIndexes_.find(key);
    if (found == routeIndexes_.end()) {
        // Past the most routes an index holds, the last one stands for the rest.
        if (routeNames_.size() > std::numeric_limits<RouteIndex>::max()) {
            facts.setRoute(std::numeric_limits<RouteIndex>::max(), routeNames_.back());
            return;
        }
        found = routeIndexes_.emplace(key, static_cast<RouteIndex>(routeNames_.size())).first;
        routeNames_.push_back(routeText(*route));
    }
    facts.setRoute(found->second, routeNames_[found->second]);
}

void LogAnalysis::add(const RecordFacts& record) {
    // The facts of a message whose fields nothing reads are built without its marks, which costs
    // next to nothing. A record whose text for the sinks that read every field was written
    // beside its decoding (RecordFacts::prepared) needs only the fields the analysis reads.
    const bool allFields = allFields_ && (record.prepared.empty() || selectionReadsFields_);
    const bool fieldsRead = record.typeCode >= 0 && record.typeCode < 256 && typesRead_[static_cast<std::size_t>(record.typeCode)];
    // The facts view the record (held by the run while it is handed over) without a copy.
    if (allFields || (record.prepared.empty() && fieldsRead)) {
        facts_.buildOver(record, true);
    } else if (fieldsRead) {
        withFieldsRead_ = record;
        withFieldsRead_.marks = marksRead(record.marks);
        facts_.buildOver(withFieldsRead_, true);
    } else {
        facts_.buildOver(record, false);
    }
    setRouteOf(facts_);
    LogClock& clock = clocks_[facts_.switchIndex()];
    const std::optional<std::int64_t> at = record.timeOfDayRead ? clock.instantOf(record.timeOfDay) : clock.instant(record.time);
    Call* call = followCalls_ ? calls_.add(facts_, at) : nullptr;
    const bool passes = selection_ == nullptr || selection_->matches(facts_, call != nullptr ? call->firstRecord : 0);
    if (health_ != nullptr) health_->addMessage(facts_, at, call, passes);
    if (wantedRecords_.empty()) {
        if (!passes) return;
        if (call != nullptr) call->selected = true;
        pass(facts_, at, call);
        return;
    }
    addForCalls(passes, at, call);
}

void LogAnalysis::pass(const MessageFacts& facts, std::optional<std::int64_t> at, const Call* call) {
    ++messagesPassed_;
    if (countStatistics_) statistics_.addMessage(facts, call != nullptr);
    if (onMessage_) onMessage_(AnalysedMessage{facts, at, call});
}

void LogAnalysis::addForCalls(bool passes, std::optional<std::int64_t> at, Call* call) {
    const std::uint64_t record = facts_.record().record;
    // A wanted record: its call is wanted, and the messages of the call held so far go on. A
    // wanted record of no call is named by finish().
    if (wantedRecord(record) && call != nullptr) {
        recordsInCalls_.push_back(record);
        if (wantedCalls_.insert(call->firstRecord).second) {
            const auto found = pending_.find(call->firstRecord);
            if (found != pending_.end()) {
                call->selected = true;
                pendingFirst_.erase(found->second.front().record.record().record);
                for (Held& h : found->second) ready_.emplace(h.record.record().record, std::move(h));
                pending_.erase(found);
            }
        }
    }
    // Past the highest wanted record, no call that is still undecided can be wanted.
    const bool pastWanted = record >= wantedRecords_.back();
    if (pastWanted && !pending_.empty()) {
        pending_.clear();
        pendingFirst_.clear();
    }
    if (passes && call != nullptr) {
        if (wantedCalls_.count(call->firstRecord) != 0) {
            call->selected = true;
            if (ready_.empty() && pendingFirst_.empty()) {
                pass(facts_, at, call);
            } else {
                ready_.emplace(record, copy(at, *call));
            }
        } else if (!pastWanted) {
            std::vector<Held>& held = pending_[call->firstRecord];
            if (held.empty()) pendingFirst_.insert(record);
            held.push_back(copy(at, *call));
        }
    }
    release();
}

LogAnalysis::Held LogAnalysis::copy(std::optional<std::int64_t> at, const Call& call) const {
    return Held{.callFirstRecord = call.firstRecord,
                .callInstanceCode = call.callInstanceCode,
                .switchIndex = facts_.switchIndex(),
                .at = at,
                .record = CopiedRecord(facts_.record())};
}

void LogAnalysis::dropPending(std::uint64_t callFirstRecord) {
    const auto found = pending_.find(callFirstRecord);
    if (found == pending_.end()) return;
    pendingFirst_.erase(found->second.front().record.record().record);
    pending_.erase(found);
}

void LogAnalysis::release() {
    while (!ready_.empty() && (pendingFirst_.empty() || ready_.begin()->first < *pendingFirst_.begin())) {
        Held& h = ready_.begin()->second;
        heldFacts_.build(h.record.record());
        heldFacts_.setSwitch(h.switchIndex, switchNames_[h.switchIndex]);
        setRouteOf(heldFacts_);
        // The call may have finished since: the message comes with its call's switch, code and
        // first record.
        Call call;
        call.callInstanceCode = h.callInstanceCode;
        call.switchIndex = h.switchIndex;
        call.switchName = switchNames_[h.switchIndex];
        call.routeIndex = heldFacts_.routeIndex();
        call.route = heldFacts_.routeName();
        call.firstRecord = h.callFirstRecord;
        call.selected = true;
        pass(heldFacts_, h.at, &call);
        ready_.erase(ready_.begin());
    }
}

void LogAnalysis::callFinished(const Call& call) {
    if (!pending_.empty()) dropPending(call.firstRecord);
    const bool passes = call.selected && (selection_ == nullptr || selection_->matchesCall(call));
    if (health_ != nullptr) health_->addCall(call, passes, logEnding_);
    if (!passes) return;
    ++callsPassed_;
    if (countStatistics_) statistics_.addCall(call);
    if (onCall_) onCall_(call);
}

LogAnalysis::SoFar LogAnalysis::soFar() const {
    SoFar soFar{statistics_, health_ != nullptr ? std::make_unique<TrunkHealth>(health_->copySoFar()) : nullptr};
    calls_.forEachHeld([this, &soFar](const Call& call) {
        const bool passes = call.selected && (selection_ == nullptr || selection_->matchesCall(call));
        if (soFar.health) soFar.health->addCall(call, passes, false);
        if (passes) soFar.statistics.addCall(call);
    });
    if (soFar.health) soFar.health->finishSoFar();
    return soFar;
}

void LogAnalysis::finish() {
    logEnding_ = true;
    calls_.finish();
    for (const std::uint64_t record : wantedRecords_)
        if (!std::binary_search(recordsInCalls_.begin(), recordsInCalls_.end(), record)) recordsWithoutCall_.push_back(record);
    pending_.clear();
    pendingFirst_.clear();
    release();
}

}  // namespace truno
