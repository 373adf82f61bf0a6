#include "analysis/LogAnalysis.h"

#include "analysis/MessageSummary.h"

#include <utility>

namespace truno {

LogAnalysis::LogAnalysis(MessageSink onMessage, CallSink onCall, bool allFields, const MessageFilter* filter)
    : onMessage_(std::move(onMessage)),
      onCall_(std::move(onCall)),
      allFields_(allFields),
      filter_(filter),
      calls_([this](const Call& call) { callFinished(call); }) {}

std::bitset<256> LogAnalysis::markedTypes() const {
    std::bitset<256> types;
    for (int code = 0; code < 256; ++code) types[static_cast<std::size_t>(code)] = allFields_ || fieldsReadBeyondJson(code);
    return types;
}

void LogAnalysis::add(const RecordFacts& record) {
    // The facts of a message whose fields nothing reads are built without its marks, which costs
    // next to nothing.
    if (allFields_ || fieldsReadBeyondJson(record.typeCode)) {
        facts_.build(record);
    } else {
        RecordFacts withoutFields = record;
        withoutFields.marks = {};
        facts_.build(withoutFields);
    }
    const std::optional<std::int64_t> at = clock_.instant(record.time);
    Call* call = calls_.add(facts_, at);
    if (filter_ != nullptr && !filter_->accepts(record, call != nullptr ? call->firstRecord : 0)) return;
    if (call != nullptr) call->selected = true;
    statistics_.addMessage(facts_, call != nullptr);
    onMessage_(AnalysedMessage{facts_, at, call});
}

void LogAnalysis::callFinished(const Call& call) {
    if (!call.selected) return;
    statistics_.addCall(call);
    if (onCall_) onCall_(call);
}

void LogAnalysis::finish() { calls_.finish(); }

}  // namespace truno
