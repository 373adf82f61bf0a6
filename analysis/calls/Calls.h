#pragma once
// Calls: the messages of a log grouped, in log order, by their switch, their route (of a capture:
// the pair of point codes) and their own call instance code (the switches of a run are apart:
// two switches' calls on one code never mix, nor two routes'). An
// initial address message opens a call, the call-control messages on the same code join it,
// the release complete message ends it. Finished calls go out in the order of their first
// records: a call that finishes while an older one is still open is held until every older call
// has finished, so that memory holds the open calls and the finished calls behind the oldest open
// one. At most kMaxHeldCalls are held: past that, the held calls go out at once, ahead of the
// older calls still open (a call left open for a very long log), and the order is given up for
// those only.
//
// A reset circuit message (RSC) ends the open call on its code as reset; a circuit group reset
// (GRS) ends those on the codes of its range (its own code through code + range). A circuit
// whose call was released (RLC) or reset is idle: the messages that follow on it up to the next
// initial address message (the RLC that answers a reset, the second RLC after both sides
// released at once, a late SAM or APM) belong to no call. On a circuit not yet known to be idle,
// a backward call-control message (ACM, CPG, ANM, CON) or a release opens a call begun before
// the log; other messages there belong to no call.
//
// A message that was not decoded still takes its part when its type code and call instance code
// could be read: a call-control type joins (or ends) the call as its type says, and the call
// counts it among its not-decoded messages. Its fields are missing, so a call opened by an
// initial address message that was not decoded has no numbers, and a release message that was
// not decoded gives no cause. A message without a readable call instance code, or of a type
// code that is not known, belongs to no call.
//
// The subsequent address message's digits are not added to the called number: the report shows
// the subsequent number's contents as hex octets, not as address signals, and the calls take
// the decoders' facts rather than decode the octets a second time. The numbers are the address
// signals without the filler digit of an odd number.
#include "analysis/facts/CircuitTable.h"
#include "analysis/facts/MessageFacts.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// What a message type does to the calls on its code.
enum class CallRole : std::uint8_t {
    None,       // belongs to no call (types outside the call and circuit sets, unknown types)
    Opens,      // IAM
    Joins,      // the call-control messages
    Ends,       // RLC
    Circuit,    // circuit supervision: an event on the circuit, not part of a call
    Resets,     // RSC: a circuit event that ends the open call on its code as reset
};

// The role of a message type code (0 to 255); None for codes outside the table.
CallRole callRoleOf(int typeCode);

enum class CallOutcome : std::uint8_t {
    Answered,        // an answer or connect message came
    Unanswered,      // the call was released before any answer
    Incomplete,      // the log ended, or a new initial address message came, while it was open
    Reset,           // a reset circuit message ended it
    BegunBeforeLog,  // its first message in the log was not the initial address message
};
inline constexpr std::size_t kCallOutcomeCount = 5;

// "answered", "unanswered", "incomplete", "reset", "begun-before-log".
std::string_view outcomeName(CallOutcome outcome);

// When a message of some kind came: its time as read and as an instant (LogClock), when it
// could be read.
struct CallMoment {
    bool present = false;               // such a message came
    std::string time;                   // as read (may be empty even so)
    std::optional<std::int64_t> at;     // milliseconds on the log's time line
};

// The instants a call's durations are worked out from (milliseconds on the log's time line), each
// missing where its message did not come or its time could not be read.
struct CallInstants {
    bool opened = false;  // an initial address message opened the call
    std::optional<std::int64_t> first;
    std::optional<std::int64_t> addressComplete;
    std::optional<std::int64_t> answer;
    std::optional<std::int64_t> release;

    // IAM to the first ACM, IAM to the answer, answer to the first REL; nothing when one of the
    // two is missing (the first two also for a call begun before the log).
    std::optional<std::int64_t> setupTime() const;
    std::optional<std::int64_t> answerDelay() const;
    std::optional<std::int64_t> conversationTime() const;
};

struct Call {
    std::uint32_t callInstanceCode = 0;
    SwitchIndex switchIndex = 0;        // of its messages (MessageFacts::switchIndex)
    std::string switchName;             // its name; empty when the run named no switch
    RouteIndex routeIndex = 0;          // of its messages (MessageFacts::routeIndex); 0: none
    std::string route;                  // "2057-2058"; empty for a log's call
    std::uint64_t firstRecord = 0;
    std::uint64_t lastRecord = 0;
    CallMoment first;                   // the first message's time
    CallMoment last;                    // the last message's time
    std::string direction;              // of the initial address message
    std::string calling;                // calling party number's address signals
    std::string called;                 // called party number's (see the note on SAM above)
    CallMoment lastAddress;             // the last IAM or SAM before the first backward message
    CallMoment firstBackward;           // the first ACM, CON, CPG or REL from the called side
    CallMoment addressComplete;         // the first ACM
    CallMoment progress;                // the first CPG
    CallMoment answer;                  // the first ANM or CON
    CallMoment release;                 // the first REL
    CallMoment releaseComplete;         // the RLC
    std::string releasedBy;             // direction of the first REL
    std::optional<std::uint32_t> cause; // of the first REL's cause indicators: 16 (its texts are the
                                        // cause table's, parameters/callcontrol/CauseValues.h)
    std::string location;               // its location, folded: "4, public network ..."
    CallOutcome outcome = CallOutcome::Incomplete;
    std::uint32_t messages = 0;
    std::uint32_t notDecoded = 0;       // of its messages, not decoded
    bool opened = false;                // an initial address message opened it
    bool selected = false;              // free for the caller (e.g. a filter)

    CallInstants instants() const {
        return CallInstants{.opened = opened, .first = first.at, .addressComplete = addressComplete.at,
                            .answer = answer.at, .release = release.at};
    }
    // IAM to the first ACM, IAM to the answer, answer to the first REL (milliseconds); nothing
    // when one of the two messages is missing or its time could not be read.
    std::optional<std::int64_t> setupTime() const { return instants().setupTime(); }
    std::optional<std::int64_t> answerDelay() const { return instants().answerDelay(); }
    std::optional<std::int64_t> conversationTime() const { return instants().conversationTime(); }
};

// Groups the messages handed to add() into calls and hands each finished call to `finished`.
class CallTracker {
public:
    using FinishedSink = std::function<void(const Call&)>;
    // The most finished calls held for the order of first records.
    static constexpr std::size_t kMaxHeldCalls = 50000;
    // `maxHeld`: the most finished calls held for the order (kMaxHeldCalls but in tests).
    explicit CallTracker(FinishedSink finished, std::size_t maxHeld = kMaxHeldCalls);

    // Adds the next message of the log; `at` is its instant (LogClock). Returns the call the
    // message belongs to, or nullptr. The call stays valid, and may be looked at and marked
    // (Call::selected), until the next add() or finish(): a call this message ended (RLC, or RSC
    // as reset, which counts as the call's last message) goes out only then. A call that an
    // initial address message replaces goes out at once, before the new one opens.
    Call* add(const MessageFacts& message, std::optional<std::int64_t> at);

    // The log ended: the calls still open go out as incomplete, all in the order of first records.
    void finish();

    // Whether the calls carry the texts no count needs (the default): their messages' times as
    // read, the calling number and the release's location. A caller that reads only a call's
    // instants, outcome, cause, called number, sides, switch and route (the KPIs) turns them off
    // before the first message: each message then copies no text.
    void keepTexts(bool keep) { texts_ = keep; }

    std::size_t openCalls() const { return openCalls_; }
    // Finished calls held behind an older open call; the most held at once so far.
    std::size_t heldCalls() const { return held_; }
    std::size_t mostHeldCalls() const { return mostHeld_; }
    // The finished calls held, in the order of their first records.
    void forEachHeld(const FinishedSink& visit) const;

private:
    std::uint32_t newSlot();
    void end(std::uint32_t slot, CallOutcome outcome);
    void releaseEnded();
    void sendFinished();
    void resetRange(SwitchIndex switchIndex, RouteIndex route, std::uint32_t code, std::uint32_t range);

    FinishedSink finished_;
    std::vector<Call> slots_;                             // open and held calls; reused once out
    std::vector<bool> done_;                              // per slot: finished, held for the order
    std::vector<std::uint32_t> freeSlots_;
    std::deque<std::uint32_t> order_;                     // open and held slots by first record
    std::size_t maxHeld_;
    std::size_t held_ = 0;
    std::size_t mostHeld_ = 0;
    // A circuit's open call and whether its call was released or reset (idle).
    static constexpr std::uint32_t kNoSlot = UINT32_MAX;
    struct CircuitCalls {
        std::uint32_t open = kNoSlot;  // the slot of its open call
        bool idle = false;             // its call was released or reset
    };
    CircuitTable<CircuitCalls> circuits_;                 // by circuitKey (switch, code, route)
    std::size_t openCalls_ = 0;
    std::optional<std::uint32_t> ended_;                  // ended by the last message, not yet out
    CallOutcome endedAs_ = CallOutcome::Incomplete;
    bool texts_ = true;
    // The moment a message of the call came: its instant, and its time as read when kept.
    void setMoment(CallMoment& moment, const RecordFacts& record, std::optional<std::int64_t> at) const;
};

}  // namespace truno
