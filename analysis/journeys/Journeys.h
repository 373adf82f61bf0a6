#pragma once
// Journeys: the calls of several traces joined end to end. A trace is one file taken at one
// switch ("this") on its trunk to another ("far"); a leg is one call on one trunk, seen in one
// trace or in both traces of that trunk; a journey is the legs of one end-to-end call.
//
// Two links join them, and nothing else:
// - trunk: the same call seen at both ends of one trunk: the same circuit (after --cic-offset),
//   the IAM sent by one end and received by the other within the transit window once the two
//   clocks' offset is taken off, the called numbers equal, and exactly one candidate each way.
// - transit: a leg arriving at a switch and a leg leaving it are one journey when their IAMs are
//   at most the transit window apart on that switch's clock (the leaving one after), the called
//   numbers agree in their last six digits (or the leaving IAM's original called number does,
//   for a diverted call), the calling numbers are the same but for a prefix where both are given,
//   the hop counter is one lower where both give one, and exactly one candidate fits each way; an
//   exact key (global call reference, correlation id, call reference) the same on both decides
//   first. Where several fit, the legs stay apart and the candidates are named (a wrong link is
//   worse than a missing one).
//
// The clock offset of a trunk's two ends is the median, over the IAMs seen at both ends (the
// same circuit and numbers, found only once), of the receiving end's time less the sending
// end's. Clocks further apart than the window are not linked unless the offsets are applied
// (ClockOffsets::Auto): then every time of a switch is put on the clock of the first trace's
// switch.
//
// Memory: each call seen is kept compactly (its instants, numbers, the typed facts of its IAM
// and one small record per message) while it is open; once finished it goes, with the trace's
// other finished calls, into runs sorted by time in a temporary file. The linking then merges
// the runs of every trace in time order and links a slice of time at a time, with margins on
// both sides wide enough that every link of a journey starting in the slice, and every candidate
// of those links, is inside; the journeys starting in the slice are handed out and the calls
// before the next slice's margin freed. Memory is bounded by the calls inside a slice and its
// margins, not by the traces' length. The clock offsets are measured on each trace's first calls.
#include "analysis/calls/Calls.h"
#include "analysis/facts/MessageFacts.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace truno {

// Where a trace was taken: at switch `self`, on its trunk to `far` (empty: not known).
// A capture's ends come from its messages: "this" is the point code of its local side (--local-pc,
// else the first message's OPC; or THIS of --ends, a point code), and each leg's ends are its
// IAM's OPC and DPC, so that one capture may hold several trunks. Two captures are the two ends
// of one trunk when their sides differ and each holds IAMs between the two.
struct TraceEnds {
    std::string file;  // as shown
    std::string self;
    std::string far;
    bool declared = false;  // by --ends or --network (a capture's point codes do not override them)
};

struct JourneySettings {
    std::int64_t transitWindow = 5000;  // milliseconds
    bool applyClockOffsets = false;     // --clock-offset auto
    // --cic-offset A:B=N: a circuit code N higher at B than at A on the trunk A-B.
    std::map<std::pair<std::string, std::string>, std::int64_t> cicOffsets;
    // JourneyBuilder::stream links a slice of this many milliseconds at a time (0: all at once).
    std::int64_t slice = 600000;
    // Finished calls wait for the linking in a temporary file (false: in memory, as when no
    // temporary file can be made or written).
    bool temporaryFile = true;
};

// One message of a call seen in a trace, as the ends are compared.
struct SeenMessage {
    std::int64_t at = 0;       // on the trace's time line (hasTime: read)
    std::uint32_t record = 0;  // the record's number (traces past four billion records: its low bits)
    std::uint8_t type = 0;     // type code
    bool hasTime = false;
    bool sent = false;         // DIR S (false: R or unknown)
};

// One call seen in one trace.
struct Sighting {
    std::uint32_t trace = 0;
    std::uint32_t cic = 0;
    std::uint64_t firstRecord = 0;
    std::uint64_t lastRecord = 0;
    bool opened = false;         // its IAM is in the trace
    bool iamSent = false;        // DIR S on the IAM
    CallOutcome outcome = CallOutcome::Incomplete;
    // Instants on the trace's own time line (milliseconds from the midnight before its first
    // day when the trace gives a date, else from the midnight before its first message).
    std::optional<std::int64_t> first, firstBackward, addressComplete, answer, release, releaseComplete, last;
    bool releaseSent = false;    // its first REL was sent (DIR S)
    std::optional<std::uint32_t> cause;
    std::optional<std::uint32_t> location;
    std::string calling, called, originalCalled, redirecting;
    std::optional<std::uint32_t> category;
    std::optional<std::uint32_t> hopCounter;
    // An exact key of the call its IAM carries: its global call reference, correlation id or call
    // reference ("g", "c" or "r" and the value); empty: none.
    std::string exactKey;
    // Of a captured IAM: its OPC and DPC (the leg's ends); empty for a log's.
    std::string iamFrom, iamTo;
    std::uint32_t messages = 0;
    bool finished = false;       // its call finished (every call does by the end of its trace)
    // The typed facts of its IAM, compactly: per field, its key's number in the builder's table
    // of keys (two octets), the value's length (one octet) and the value as text.
    std::string iamFacts;
    std::vector<SeenMessage> seen;
};

// A message sent at one end of a trunk and never received at the other, or received and never
// sent there.
struct UnmatchedMessage {
    std::uint32_t trace = 0;     // where it was seen
    std::uint64_t record = 0;
    std::uint8_t type = 0;
    bool sent = false;           // sent and never received (false: received, never sent)
};

struct PairedMessage {
    std::uint8_t type = 0;
    std::uint64_t sentRecord = 0, receivedRecord = 0;
    std::uint32_t sentTrace = 0, receivedTrace = 0;
    std::int64_t delay = 0;      // received less sent, the trunk's clock offset taken off
};

enum class LegLink : std::uint8_t { None, Trunk };

struct Leg {
    std::string from, to;        // the switch that sent the IAM and the one that received it ("" unknown)
    std::uint32_t cic = 0;       // at the sending end
    int sender = -1, receiver = -1;  // sightings at each end (-1: not seen there)
    LegLink link = LegLink::None;
    std::vector<PairedMessage> paired;
    std::vector<UnmatchedMessage> unmatched;
    std::optional<std::int64_t> iamDelay;  // the IAM's transit, clocks corrected
    int journey = -1;
    int next = -1, previous = -1;  // transit links
    bool exact = false;            // its link to `previous` an exact key decided
    bool arrivalAmbiguous = false; // several leaving legs fitted it, or its one fitted several
    std::vector<int> ambiguous;    // candidates when several fitted (legs)
    // The sighting that speaks for the leg: the sender's, else the receiver's.
    int primary() const { return sender >= 0 ? sender : receiver; }
};

// What a switch changed on a transit link: each key of the IAM's typed facts whose value differs
// (with both values), and the parameters added and removed.
struct FactChange {
    std::string key;
    std::string arriving, leaving;  // empty: absent (a parameter added or removed)
};

struct Hop {
    std::string atSwitch;
    int arriving = -1, leaving = -1;        // legs
    std::optional<std::int64_t> delay;      // leaving IAM less arriving IAM on the switch's clock
    std::vector<FactChange> changes;
};

struct Journey {
    std::uint32_t id = 0;
    std::vector<int> legs;                  // in order from the origin
    std::vector<Hop> hops;                  // one per transit link
    std::string origin, final;
    std::string outcome;                    // the call's at the origin (outcomeName)
    std::optional<std::int64_t> start;      // the origin's IAM, on the common clock
    std::optional<std::int64_t> setup;      // origin's IAM to the first backward message reaching it
    std::optional<std::int64_t> answer;     // origin's IAM to the answer reaching it
    std::optional<std::uint32_t> cause;     // of the release that began it
    std::optional<std::uint32_t> location;
    std::string releasedAt;                 // the switch that sent the first REL of the journey
    bool ambiguous = false;                 // a leg had several candidates and stayed apart
    std::uint32_t unmatched = 0;            // messages sent and never received, or the other way
};

// A pair of traces that are the two ends of one trunk.
struct TrunkEnds {
    std::uint32_t first = 0, second = 0;    // traces
    std::optional<std::int64_t> offset;     // second's clock less first's
    std::uint32_t samples = 0;              // IAMs the offset was measured on
    std::uint32_t linked = 0;               // legs seen at both ends
    bool linkedAtAll = true;                // false: its ends were not linked (a problem says why)
};

struct JourneyReport;

// The counts of the summary, journey by journey.
struct JourneyTally {
    std::map<std::string, std::size_t> byOutcome;
    std::size_t journeys = 0, legs = 0, trunkLegs = 0, transitLinks = 0;
    std::uint32_t exactLinks = 0;      // transit links an exact key decided
    std::uint32_t ambiguousLinks = 0;  // arriving legs left unlinked as several fitted
    // Counts the journey; its trunk legs count on their trunks in `trunks`.
    void add(const JourneyReport& report, const Journey& journey, std::vector<TrunkEnds>& trunks);
};

struct JourneyReport {
    std::vector<TraceEnds> traces;
    // Of a slice (JourneyBuilder::stream), or of everything (finish): in time order; a deque, as a
    // slice frees the earliest and reads the next at the end.
    std::deque<Sighting> sightings;
    std::vector<Leg> legs;
    // Failed first, then in the order of their ids: by start (the origin's IAM on the common clock,
    // a journey with none first), then by the origin's trace and record.
    std::vector<Journey> journeys;
    std::vector<TrunkEnds> trunks;
    std::map<std::string, std::int64_t> switchOffsets;  // applied (ClockOffsets::Auto) or measured
    std::vector<std::string> problems;      // bad input, named (the summary says them)
    std::vector<std::optional<std::int64_t>> lastInstant;  // per trace: its last message's
    JourneyTally tally;
    bool offsetsApplied = false;
    std::optional<std::int64_t> firstDay;  // days of the first trace's date, where one is known
    // A sighting's instant on the common clock (its trace's switch offset taken off when applied).
    std::int64_t common(std::uint32_t trace, std::int64_t at) const;
    std::string switchOf(std::uint32_t trace) const { return traces[trace].self; }
};

namespace journeys {
class SightingSpill;
}

// Collects the calls of each trace as the run reads it, then links them.
class JourneyBuilder {
public:
    explicit JourneyBuilder(JourneySettings settings);
    ~JourneyBuilder();
    JourneyBuilder(const JourneyBuilder&) = delete;
    JourneyBuilder& operator=(const JourneyBuilder&) = delete;

    // A trace begins; its index.
    std::uint32_t beginTrace(TraceEnds ends);
    // The trace's date (YYYY-MM-DD), from its first message that gives one.
    void noteDate(std::uint32_t trace, std::string_view date);
    // A message of the trace and its call (null: none).
    void message(std::uint32_t trace, const MessageFacts& facts, std::optional<std::int64_t> at, const Call* call);
    // A call of the trace finished.
    void callFinished(std::uint32_t trace, const Call& call);

    // Links what was read: every journey in one report.
    JourneyReport finish();
    // Links what was read a slice of time at a time and hands out each journey with the report
    // of its slice (its legs and sightings), in the order of their ids; returns the report with
    // no journeys, legs or sightings: the traces, trunks, clocks, problems and the tally.
    JourneyReport stream(const std::function<void(const JourneyReport&, const Journey&)>& emit);

    // The fields of an IAM's facts, by the numbers iamFacts holds.
    struct FactKeys {
        std::vector<FieldRef> refs;
        std::unordered_map<std::uint64_t, std::uint16_t> ids;  // (parameter code, key text's address) -> number
        std::uint16_t idOf(const FieldRef& ref);

    private:
        struct Recent {
            std::uint64_t key = 0;
            std::uint16_t id = UINT16_MAX;
        };
        std::array<Recent, 512> recent_{};
    };

private:
    void noteIam(Sighting& s, const MessageFacts& facts);
    // Measures the trunks and clocks on the first calls of each trace; false: nothing was read.
    void prepare();
    // slice: milliseconds of the slices (0: one slice of everything).
    JourneyReport link(std::int64_t slice, const std::function<void(JourneyReport&, Journey&)>& emit);
    void shiftTimes(Sighting& s) const;

    JourneySettings settings_;
    JourneyReport report_;
    FactKeys keys_;
    FieldRef originalCalled_, redirecting_, category_, hopCounter_, globalCallReference_, correlationId_, callReference_;
    std::vector<std::int64_t> dayOf_;  // per trace: days of its date (0: none)
    std::vector<std::int64_t> shift_;  // per trace: its date's distance from the first trace's
    std::string packing_;              // noteIam's, kept
    // Per trace: the point code its ends name as this side (--ends FILE=THIS:FAR on a capture),
    // whose messages are the ones sent there, whichever way the run's DIR reads them.
    std::vector<std::optional<std::uint32_t>> selfCode_;
    std::vector<bool> captured_;  // per trace: its messages carry point codes (a capture)
    std::vector<std::optional<std::int64_t>> lastAt_;  // per trace: its last message's instant
    // Open calls: (trace, call's first record) -> its sighting in pool_; free_: slots to reuse.
    std::unordered_map<std::uint64_t, std::uint32_t> open_;
    std::deque<Sighting> pool_;
    std::vector<std::uint32_t> free_;
    // Per trace: its first calls (the clocks' sample).
    std::vector<std::vector<Sighting>> sample_;
    // Per trace: the last instant of its calls without a captured IAM, and per point-code pair
    // of a captured IAM (the lesser code first), its calls' last instant.
    std::vector<std::optional<std::int64_t>> lastWithoutPair_;
    std::vector<std::map<std::pair<std::string, std::string>, std::int64_t>> lastOfPair_;
    std::unique_ptr<journeys::SightingSpill> spill_;
    struct RecentCall {
        std::uint64_t key = 0;
        Sighting* sighting = nullptr;  // a deque's elements stay where they are made
    };
    std::array<RecentCall, 4096> recentCalls_{};
};

// "X>Y" of a leg, "?" for a switch not known.
std::string legName(const Leg& leg);

}  // namespace truno
