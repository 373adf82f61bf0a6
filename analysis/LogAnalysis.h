#pragma once
// The one analysis of a run's facts that every view stands on: for each message, in log order,
// its facts are built once (MessageFacts), its instant put on the log's time line, its call
// followed (CallTracker), and the filter asked whether it is shown; the messages and calls that
// pass are counted (Statistics) and handed to the caller's sinks. The command-line views format
// what they are handed; the window's recorder keeps it (MessageRecorder).
#include "analysis/Calls.h"
#include "analysis/LogClock.h"
#include "analysis/MessageFacts.h"
#include "analysis/MessageFilter.h"
#include "analysis/Statistics.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>

namespace truno {

// One message as the analysis hands it on: its facts, its instant and its call (nullptr: none).
struct AnalysedMessage {
    const MessageFacts& facts;
    std::optional<std::int64_t> at;
    const Call* call;
    std::uint64_t callFirstRecord() const { return call != nullptr ? call->firstRecord : 0; }
};

class LogAnalysis {
public:
    using MessageSink = std::function<void(const AnalysedMessage&)>;
    using CallSink = std::function<void(const Call&)>;

    // `allFields`: the sinks read every field of every message (JSON, the store); otherwise only
    // the fields of the types fieldTypesRead() names are built. `filter` may be null (all pass).
    LogAnalysis(MessageSink onMessage, CallSink onCall, bool allFields, const MessageFilter* filter = nullptr);

    // The message types whose fields the analysis reads itself (the calls, the summary and the
    // statistics read those of IAM, REL and CPG), or every type when all fields are read: the run
    // need not mark the records of the others.
    std::bitset<256> markedTypes() const;

    void add(const RecordFacts& record);
    // The log ended: the open calls finish.
    void finish();

    // The messages and calls that passed the filter, counted.
    const Statistics& statistics() const { return statistics_; }

private:
    void callFinished(const Call& call);

    MessageSink onMessage_;
    CallSink onCall_;
    bool allFields_;
    const MessageFilter* filter_;
    LogClock clock_;
    MessageFacts facts_;
    CallTracker calls_;
    Statistics statistics_;
};

}  // namespace truno
