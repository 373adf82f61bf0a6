#pragma once
// The circuits of a trunk and the protocol checks on them, from the messages in log order: per
// circuit (its switch and code: the switches of a run are apart), its seizures, answers, holding time, resets and blockings, and its state at the
// end of the log (idle, busy, waiting for RLC, reset pending, blocked locally or remotely for
// maintenance or hardware); and the findings of the checks (Q.764):
// - a REL not answered by RLC within T1; an RLC with no REL or reset before it on the circuit
//   (as far as the log reaches back: not for a circuit's first message in the log);
// - dual seizure (IAMs from both sides before any backward message), an IAM on a circuit whose
//   call is still open, an IAM on a circuit blocked against it;
// - no ACM, CON, CPG, ANM or REL within T7 of the last address message; no ANM or REL within T9
//   of the ACM;
// - a BLO, UBL, RSC, CGB, CGU or GRS not acknowledged within T12, T14, T16, T18, T20 or T22
//   (a GRS's finding names its range: every circuit of it is reset pending until the GRA);
// - a circuit busy for longer than the `held` time with no message on it (stuck), once a call;
// - a call-control message on a circuit left idle by an RLC or a reset;
// - every message not decoded, and every input warning of the run.
// "Local" is the traced exchange's side: a message sent (Direction::Sent) is local, any other remote. A
// timer expires when a later message of its switch's log (or the log's end) is past its deadline;
// one still running when the log ends before its deadline gives no finding. Each switch has its
// own time (files of several switches read as one run follow one another, each from its start).
// Memory: one small state per circuit seen, and the timers running.
#include "analysis/facts/CircuitTable.h"
#include "analysis/facts/MessageFacts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace truno {

enum class FindingKind : std::uint8_t {
    ReleaseNotCompleted,          // T1
    ReleaseCompleteWithoutRelease,
    DualSeizure,
    SeizureOfBusyCircuit,
    SeizureOfBlockedCircuit,
    NoBackwardMessage,            // T7
    NoAnswer,                     // T9
    NotAcknowledged,              // T12 to T22
    MessageOnIdleCircuit,
    NotDecoded,
    InputWarning,
    StuckCircuit,                 // held
    KpiThreshold,                 // a KPI past an alarm's threshold (TrunkHealth)
};
inline constexpr std::size_t kFindingKindCount = 13;
// "release-not-completed", ...
std::string_view findingKindName(FindingKind kind);
// The kind of a name; nothing for a name that is none.
std::optional<FindingKind> findingKindOf(std::string_view name);

struct Finding {
    FindingKind kind = FindingKind::NotDecoded;
    std::optional<std::uint32_t> circuit;  // none for an input warning
    std::optional<std::uint32_t> lastCircuit;  // a range's last circuit (a GRS's), from `circuit`
    std::string switchName;                // the circuit's switch; empty for an input warning or none named
    std::string route;                     // the circuit's route ("2057-2058"); empty for a log's
    std::uint64_t record = 0;              // the message it is about (0: none)
    std::uint64_t otherRecord = 0;         // a second message it names (0: none)
    std::optional<std::int64_t> at;        // when (of `record`)
    std::string time;                      // `record`'s time as read
    std::string sentence;
    bool passed = true;                    // `record` passed the filter
};

// The timers the checks use; `Held`, no timer of Q.764, is how long a circuit may stay busy with no
// message on it before it is taken for stuck.
enum class Timer : std::uint8_t { T1, T7, T9, T12, T14, T16, T18, T20, T22, Held };
inline constexpr std::size_t kTimerCount = 10;

struct TimerRow {
    Timer timer;
    std::string_view name;          // "T1"
    std::int64_t defaultMs;
    std::string_view startedBy;     // "REL"
    std::string_view stoppedBy;     // "RLC"
    std::string_view source;        // where the default comes from
};
std::span<const TimerRow> timerRows();

struct CheckOptions {
    std::array<std::int64_t, kTimerCount> timers{};  // milliseconds; filled with the defaults
    CheckOptions();
};
// Reads a timer's setting in seconds, with up to three decimals ("T7=20", "T1=15.5", "held=3600");
// false with `error` set otherwise.
bool parseTimerSetting(std::string_view text, CheckOptions& options, std::string& error);
// A timer's value as set: "15 s", "20.5 s".
std::string timerText(std::int64_t milliseconds);

enum class CallState : std::uint8_t { Unknown, Idle, Busy, AwaitingReleaseComplete };

// Blocking bits of a circuit.
inline constexpr std::uint8_t kLocalMaintenance = 1, kLocalHardware = 2, kRemoteMaintenance = 4,
                              kRemoteHardware = 8;

// A timer running on a circuit: what started it. Its generation tells a deadline of this start
// from one of an earlier start (0: not running).
struct RunningTimer {
    std::uint64_t record = 0;
    std::optional<std::int64_t> at;
    std::string time;
    std::uint32_t generation = 0;
    bool passed = true;
};

struct CircuitState {
    std::uint32_t code = 0;
    SwitchIndex switchIndex = 0;         // CircuitHealth::switchName gives its name
    RouteIndex routeIndex = 0;           // of a capture's circuit; 0: none
    std::string route;                   // its text ("2057-2058"); empty for a log's circuit
    std::uint64_t seizures = 0, answered = 0, resets = 0, blockings = 0;
    std::int64_t holding = 0;            // IAM to RLC, milliseconds
    std::uint64_t messages = 0;
    std::uint64_t lastRecord = 0;
    std::uint64_t callRecord = 0;        // the IAM (or first message) of the call on it
    std::string callTime;                // its time as read
    std::optional<std::int64_t> lastAt;  // when its last message came
    std::uint32_t groupLast = 0;         // the last circuit of the GRS on it that awaits its GRA
    std::optional<std::int64_t> seizedAt;
    std::optional<std::int64_t> since;   // when its call state began
    CallState call = CallState::Unknown;
    std::uint8_t blocked = 0;            // kLocalMaintenance | ...
    bool resetPending = false;
    bool groupResetPending = false;      // by a GRS (a GRA ends it), not an RSC (an RLC does)
    bool releaseOverdue = false;         // its RLC is awaited past T1
    bool stuck = false;                  // the call on it was held past `held` with no message
    bool heldWatched = false;            // a deadline of `held` for it is queued
    bool callPassed = false;             // the call's first message passed the filter
    bool answeredNow = false;            // the seizure on it was answered
    bool backwardSeen = false;           // a backward message came for the seizure on it
    Direction seizedFrom = Direction::Unknown;  // of the IAM
    std::uint32_t pendingReleases = 0;   // RELs waiting for their RLC
    bool passed = false;                 // one of its messages passed the filter
    std::uint16_t timersRunning = 0;     // a bit per Timer
    std::array<RunningTimer, 3> callTimers;  // T1, T7, T9 (the others are rare: kept apart)

    // Blocked, reset pending, its RLC awaited past T1 or stuck at the end: a call in progress is
    // normal.
    bool needsAttention() const { return blocked != 0 || resetPending || releaseOverdue || stuck; }
};
// "busy", "waiting for RLC", "reset pending; blocked locally (maintenance)", "idle", ...
std::string circuitStateText(const CircuitState& circuit);

class CircuitHealth {
public:
    using FindingSink = std::function<void(const Finding&)>;
    // The first this many findings are kept (findings()); all are counted and handed to the sink.
    static constexpr std::size_t kKeptFindings = 10000;

    explicit CircuitHealth(const CheckOptions& options, FindingSink onFinding = {});

    // The next message of the log; `passes`: it passed the filter.
    void add(const MessageFacts& message, std::optional<std::int64_t> at, bool passes);
    // The log ended; its input warnings become findings.
    void finish(std::span<const std::string> inputWarnings);

    const CheckOptions& options() const { return options_; }
    // The circuits at the end: those that need attention first, then by switch name and code.
    std::vector<const CircuitState*> circuits() const;
    // The name of a circuit's switch (empty when the run named none).
    std::string_view switchName(const CircuitState& circuit) const { return switches_[circuit.switchIndex].name; }
    std::span<const Finding> findings() const { return kept_; }
    std::uint64_t findingCount() const { return findingCount_; }
    const std::array<std::uint64_t, kFindingKindCount>& findingsByKind() const { return byKind_; }
    // A finding made outside the circuits (a KPI past its threshold), kept and counted as theirs.
    void report(Finding finding);

private:
    // Sixteen bytes, so that the heap moves little: the timer is the one of the circuit whose
    // start has the generation (0: `held`).
    struct Deadline {
        std::int64_t at;
        std::uint32_t circuit;  // its index in circuits_
        std::uint32_t generation;
        bool operator>(const Deadline& other) const { return at > other.at; }
    };
    // The timer of a circuit still running from the start of `generation`; nothing when it was
    // stopped or started again since.
    std::optional<Timer> runningSince(const CircuitState& circuit, std::uint32_t generation) const;

    void start(Timer timer, CircuitState& circuit, const RecordFacts& record, std::optional<std::int64_t> at,
               bool passes);
    void stop(Timer timer, CircuitState& circuit);
    static bool running(Timer timer, const CircuitState& circuit);
    // A switch of the run: its name as its messages give it, its latest time and its timers'
    // deadlines.
    struct Switch {
        std::string name;
        std::optional<std::int64_t> now;
        std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines;
    };
    // Takes a switch's name when its first message comes.
    void noteSwitch(const MessageFacts& message);
    void expire(Switch& on, std::int64_t now);
    // A call's circuit, busy: its deadline of `held` is queued unless one is.
    void watchHeld(CircuitState& circuit);
    void expireHeld(CircuitState& circuit, Switch& on, std::int64_t now);
    void report(FindingKind kind, const CircuitState& circuit, const RecordFacts& record,
                std::optional<std::int64_t> at, bool passes, std::string sentence, std::uint64_t otherRecord = 0);
    void resetCircuit(CircuitState& circuit, Direction direction, std::optional<std::int64_t> at);
    void clearCall(CircuitState& circuit);

    CheckOptions options_;
    FindingSink onFinding_;
    // The index of a key's circuit in circuits_, made when new. Making one may move the others:
    // a reference to a circuit holds until the next new one.
    std::uint32_t circuitOf(std::uint64_t key, bool& isNew) {
        const std::uint32_t* index = circuitIndex_.find(key);
        isNew = index == nullptr;
        return index != nullptr ? *index : newCircuit(key);
    }
    std::uint32_t newCircuit(std::uint64_t key);
    CircuitState& circuitAt(std::uint64_t key) {
        bool isNew = false;
        return circuits_[circuitOf(key, isNew)];
    }
    std::uint32_t indexOf(const CircuitState& circuit) const {
        return static_cast<std::uint32_t>(&circuit - circuits_.data());
    }
    std::vector<CircuitState> circuits_;                          // in the order they were first seen
    CircuitTable<std::uint32_t> circuitIndex_;                    // by circuitKey (switch, code, route)
    std::vector<Switch> switches_ = std::vector<Switch>(1);      // by SwitchIndex
    SwitchIndex lastSwitch_ = 0;                                  // of the message before
    RunningTimer& timerOf(Timer timer, CircuitState& circuit);
    // The circuit group, reset and blocking timers, by circuitKey: one a timer (by Timer).
    std::unordered_map<std::uint64_t, std::array<RunningTimer, kTimerCount>> otherTimers_;
    std::uint32_t generations_ = 0;  // every timer started gets the next (never 0)
    // The sentence of each timer's finding when it expires (a GRS's adds its range).
    std::array<std::string, kTimerCount> expiredSentences_;
    std::vector<Finding> kept_;
    std::uint64_t findingCount_ = 0;
    std::array<std::uint64_t, kFindingKindCount> byKind_{};
    std::string scratch_;
};

}  // namespace truno
