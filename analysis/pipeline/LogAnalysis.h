#pragma once
// The one analysis of a run's facts that every view stands on: for each message, in log order,
// its facts are built once (MessageFacts), its instant put on the log's time line, its call
// followed (CallTracker), and the filter asked whether it is shown; the messages and calls that
// pass are counted (Statistics) and handed to the caller's sinks. The command-line views format
// what they are handed; the window's recorder keeps it (MessageRecorder).
#include "analysis/calls/Calls.h"
#include "analysis/facts/LogClock.h"
#include "analysis/facts/MessageFacts.h"
#include "analysis/filters/MessageSelection.h"
#include "analysis/calls/Statistics.h"
#include "analysis/health/TrunkHealth.h"

#include <bitset>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

    // `onMessage` and `onCall` may be empty: a caller that reads no message or no finished call
    // (the KPIs, circuits, checks) is then not called for each.
    // `allFields`: the sinks read every field of every message (JSON, the store); otherwise only
    // the fields of the types fieldTypesRead() names are built (and those an expression of the
    // selection reads). `selection` may be null (all pass).
    //
    // With records of calls to select (MessageSelection::callRecords), a message of a call that
    // may still turn out to hold one of them is held (its record copied) until the call's fate is
    // known: the call's held messages go on once it reaches a wanted record, and are dropped when
    // it finishes without one or when the log passes the highest wanted record. Messages go on in
    // log order, so a message of a wanted call also waits while an older message is held.
    // Memory: the messages of the calls open before the highest wanted record.
    LogAnalysis(MessageSink onMessage, CallSink onCall, bool allFields, const MessageSelection* selection = nullptr);

    // The message types whose fields the analysis reads itself (the calls, the summary and the
    // statistics read those of IAM, REL and CPG), or every type when all fields are read: the run
    // need not mark the records of the others.
    std::bitset<256> markedTypes() const;
    // The parameters whose fields the analysis reads itself (those of knownFields()), or every
    // one when all fields are read: the run need not keep the marks of the others' fields (nor
    // those of the message's own lines, which the analysis does not read).
    std::bitset<256> markedParameters() const;

    // The trunk's health is followed too: every message and every finished call goes to
    // `health`, with whether the filter let it through (owned by the caller, who finishes it).
    void followHealth(TrunkHealth* health) { health_ = health; }
    // Whether the calls are followed (the default): a caller none of whose sinks reads a call, its
    // first record or the counts of calls (the text summary, circuits and checks) turns it off
    // before the first message, and the messages then come with no call.
    void followCalls(bool follow) {
        followCalls_ = follow;
        readTypes();
    }
    // Whether the messages and calls that pass are counted in statistics() (the default): a caller
    // that never reads them turns it off before the first message.
    void countStatistics(bool count) {
        countStatistics_ = count;
        readTypes();
    }
    // Whether the calls carry their times as read, calling numbers and locations (the default;
    // CallTracker::keepTexts): a caller none of whose sinks, filters or exports reads them (the
    // KPIs) turns them off before the first message.
    void keepCallTexts(bool keep) { calls_.keepTexts(keep); }
    // Whether the message sink reads the fields of the call-control messages that the summary
    // shows (the IAM's numbers, the REL's cause, the CPG's event; the default): with a sink that
    // reads none of them, only the fields the calls and the statistics read, as far as they are
    // followed, and the circuit group messages' are built, and marked by the run (the circuits
    // and the checks, which follow no call, need only the latter).
    void sinkReadsCallFields(bool reads) {
        sinkReadsCallFields_ = reads;
        readTypes();
    }
    // What is read of the calls' fields (all, the default): their numbers (the IAM's), their
    // cause and location (the first REL's). A caller that reads of a call no more than its
    // records, sides, times and outcome (the statistics' counts, the JSON messages' call), or not
    // its numbers (the KPIs but by called prefix), says so before the first message; the calls
    // then take none of those fields, which are neither built nor marked for them.
    struct CallFieldsRead {
        bool numbers = true;
        bool cause = true;
    };
    void readCallFields(CallFieldsRead read) {
        callFieldsRead_ = read;
        readTypes();
    }

    // The messages added from now on are of the switch `name` (the next file of a run may be of
    // another switch): they, their calls, circuits and findings carry it, and calls and circuits
    // are kept by switch and code. Each switch's times are on a time line of their own (LogClock:
    // a file of another switch starts from its own first time, not after the files before it).
    // Before the first call, the switch is unnamed (""). A run names at most 65,535 switches;
    // names past those are taken as the last.
    void beginSwitch(std::string_view name);
    // The names of the switches begun, by SwitchIndex (index 0: the unnamed one).
    std::string_view switchName(SwitchIndex index) const { return switchNames_[index]; }
    // The name of the switch begun last.
    std::string_view switchName() const { return facts_.switchName(); }
    std::size_t switchCount() const { return switchNames_.size(); }

    void add(const RecordFacts& record);
    // The log ended: the open calls finish.
    void finish();

    // The messages and calls that passed the filter, counted.
    const Statistics& statistics() const { return statistics_; }
    std::uint64_t messagesPassed() const { return messagesPassed_; }
    std::uint64_t callsPassed() const { return callsPassed_; }
    // Calls not handed on yet: open, or finished and held behind an older open one.
    std::size_t callsUnfinished() const { return calls_.openCalls() + calls_.heldCalls(); }
    // The statistics and the trunk's health (null when none is followed) as they stand while the
    // log goes on, for views that show a followed log as it grows: copies, in which the calls
    // finished but held behind an older open one count too. Open calls count once they finish.
    struct SoFar {
        Statistics statistics;
        std::unique_ptr<TrunkHealth> health;
    };
    SoFar soFar() const;
    // The records asked for with --call that no call holds (known after finish()).
    const std::vector<std::uint64_t>& recordsWithoutCall() const { return recordsWithoutCall_; }

private:
    // A message held for --call, with its record's text and views copied.
    struct Held {
        std::uint64_t callFirstRecord = 0;
        std::uint32_t callInstanceCode = 0;
        SwitchIndex switchIndex = 0;
        std::optional<std::int64_t> at;
        CopiedRecord record;
    };

    void callFinished(const Call& call);
    void pass(const MessageFacts& facts, std::optional<std::int64_t> at, const Call* call);
    void addForCalls(bool passes, std::optional<std::int64_t> at, Call* call);
    Held copy(std::optional<std::int64_t> at, const Call& call) const;
    void dropPending(std::uint64_t callFirstRecord);
    void release();
    bool wantedRecord(std::uint64_t record) const;

    MessageSink onMessage_;
    CallSink onCall_;
    bool allFields_;
    bool selectionReadsFields_;
    const MessageSelection* selection_;
    std::uint64_t messagesPassed_ = 0;
    std::uint64_t callsPassed_ = 0;
    std::vector<std::uint64_t> wantedRecords_;           // sorted
    std::vector<std::uint64_t> recordsInCalls_;          // wanted records met in a call, ascending
    std::vector<std::uint64_t> recordsWithoutCall_;
    std::unordered_set<std::uint64_t> wantedCalls_;      // first records of the calls wanted
    std::unordered_map<std::uint64_t, std::vector<Held>> pending_;  // by call: fate not known yet
    std::set<std::uint64_t> pendingFirst_;                            // first record held of each
    std::map<std::uint64_t, Held> ready_;                             // to go on, by record
    MessageFacts heldFacts_;
    TrunkHealth* health_ = nullptr;
    bool followCalls_ = true;
    bool countStatistics_ = true;
    bool sinkReadsCallFields_ = true;
    CallFieldsRead callFieldsRead_;
    // Whether the fields of a message of this type are read beyond its JSON (by the calls, the
    // statistics, the summary or the circuits, as far as they are followed).
    bool fieldsRead(int typeCode) const;
    // Sets typesRead_ from the settings.
    void readTypes();
    std::bitset<256> typesRead_;  // by type code: fieldsRead
    bool logEnding_ = false;
    // The routes met, by RouteIndex (index 0: none), and their indexes by both point codes.
    std::deque<std::string> routeNames_{""};
    std::unordered_map<std::uint64_t, RouteIndex> routeIndexes_;
    void setRouteOf(MessageFacts& facts);
    // The marks of the parameters whose fields the analysis reads itself, the others' fields left
    // out (into readMarks_).
    std::span<const Mark> marksRead(std::span<const Mark> marks);
    std::vector<Mark> readMarks_;
    RecordFacts withFieldsRead_;  // a record with those marks alone, which facts_ views
    std::deque<std::string> switchNames_{""};  // by SwitchIndex; a deque, so that views of them stay
    std::vector<LogClock> clocks_ = std::vector<LogClock>(1);  // by SwitchIndex
    MessageFacts facts_;
    CallTracker calls_;
    Statistics statistics_;
};

}  // namespace truno
