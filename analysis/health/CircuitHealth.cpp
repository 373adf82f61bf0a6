#include "analysis/health/CircuitHealth.h"

#include "analysis/calls/Calls.h"
#include "analysis/facts/KnownFields.h"
#include "analysis/facts/LogClock.h"
#include "base/ReportText.h"
#include "dispatch/Codes.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace truno {
namespace {

constexpr std::string_view kFindingKindNames[kFindingKindCount] = {
    "release-not-completed",
    "release-complete-without-release",
    "dual-seizure",
    "seizure-of-busy-circuit",
    "seizure-of-blocked-circuit",
    "no-backward-message",
    "no-answer",
    "not-acknowledged",
    "message-on-idle-circuit",
    "not-decoded",
    "input-warning",
    "stuck-circuit",
    "kpi-threshold",
};

constexpr std::string_view kQ764 = "Q.764 Annex A (15-60 s): the lower bound";
// The defaults: the lower bound of each range Q.764 Annex A gives; T9's from Q.118 (1.5 to 3
// minutes), which Q.764 refers to.
constexpr TimerRow kTimers[kTimerCount] = {
    {.timer = Timer::T1, .name = "T1", .defaultMs = 15000, .startedBy = "REL", .stoppedBy = "RLC", .source = kQ764},
    // Q.764 Annex A ends T7 at an ACM or a CON; a CPG or an ANM before any ACM comes back on the
    // same path (Q.764 2.1.4.1: the called side answering before it sent an ACM; 2.9.5.1: an
    // unexpected message does not fail the call) and ends the sending of address information too.
    {.timer = Timer::T7, .name = "T7", .defaultMs = 20000, .startedBy = "IAM or SAM",
     .stoppedBy = "ACM, CON, CPG, ANM or REL", .source = "Q.764 Annex A (20-30 s): the lower bound"},
    {.timer = Timer::T9, .name = "T9", .defaultMs = 90000, .startedBy = "ACM", .stoppedBy = "ANM or REL",
     .source = "Q.118 (1.5-3 min), as Q.764 Annex A refers: the lower bound"},
    {.timer = Timer::T12, .name = "T12", .defaultMs = 15000, .startedBy = "BLO", .stoppedBy = "BLA", .source = kQ764},
    {.timer = Timer::T14, .name = "T14", .defaultMs = 15000, .startedBy = "UBL", .stoppedBy = "UBA", .source = kQ764},
    {.timer = Timer::T16, .name = "T16", .defaultMs = 15000, .startedBy = "RSC", .stoppedBy = "RLC", .source = kQ764},
    {.timer = Timer::T18, .name = "T18", .defaultMs = 15000, .startedBy = "CGB", .stoppedBy = "CGBA", .source = kQ764},
    {.timer = Timer::T20, .name = "T20", .defaultMs = 15000, .startedBy = "CGU", .stoppedBy = "CGUA", .source = kQ764},
    {.timer = Timer::T22, .name = "T22", .defaultMs = 15000, .startedBy = "GRS", .stoppedBy = "GRA", .source = kQ764},
    {.timer = Timer::Held, .name = "held", .defaultMs = 7200000, .startedBy = "IAM", .stoppedBy = "any message",
     .source = "no timer of Q.764: a call far longer than calls last"},
};

// Copies a message's time over a time kept: in place, in a few fixed moves, when their lengths
// agree (as the times of a log's messages mostly do).
void copyText(std::string& to, std::string_view from) {
    if (to.size() == from.size())
        copyBytes(to.data(), from.data(), from.size());
    else
        to.assign(from.data(), from.size());
}

std::uint16_t timerBit(Timer timer) { return static_cast<std::uint16_t>(1u << static_cast<unsigned>(timer)); }

std::uint64_t keyOf(const CircuitState& circuit) {
    return circuitKey(circuit.switchIndex, circuit.code, circuit.routeIndex);
}

// The local side is the traced exchange's: what it sent.

// The circuits a circuit group message names: its own code and those of the status bits set
// (CGB, CGU and their acknowledgements), or its code through code + range (GRS, GRA).
template <typename Visit>
void forEachStatusCircuit(const MessageFacts& message, std::uint32_t code, const Visit& visit) {
    for (const FieldFact& field : message.fields())
        if (field.ref == knownFields().status && field.hasNumber)
            visit(static_cast<std::uint32_t>(code + field.number));
}

// The last circuit of a GRS's or GRA's range: its code plus the range.
std::uint32_t rangeEnd(const MessageFacts& message, std::uint32_t code) {
    const FieldFact* range = message.find(knownFields().range);
    const std::uint64_t last = std::uint64_t{code} + (range != nullptr && range->hasNumber ? range->number : 0);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(last, UINT32_MAX));
}

}  // namespace

std::string_view findingKindName(FindingKind kind) { return kFindingKindNames[static_cast<std::size_t>(kind)]; }

std::optional<FindingKind> findingKindOf(std::string_view name) {
    for (std::size_t k = 0; k < kFindingKindCount; ++k)
        if (kFindingKindNames[k] == name) return static_cast<FindingKind>(k);
    return std::nullopt;
}

std::span<const TimerRow> timerRows() { return kTimers; }

CheckOptions::CheckOptions() {
    for (const TimerRow& row : kTimers) timers[static_cast<std::size_t>(row.timer)] = row.defaultMs;
}

bool parseTimerSetting(std::string_view text, CheckOptions& options, std::string& error) {
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const auto row = std::find_if(std::begin(kTimers), std::end(kTimers),
                                  [&](const TimerRow& r) { return r.name == name; });
    error = "--timer takes NAME=SECONDS with NAME one of T1 T7 T9 T12 T14 T16 T18 T20 T22 held, not '" + std::string(text) + "'";
    if (row == std::end(kTimers) || equals == std::string_view::npos) return false;
    std::string_view value = text.substr(equals + 1);
    const std::size_t point = value.find('.');
    const std::string_view whole = value.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : value.substr(point + 1);
    std::int64_t seconds = 0;
    const auto [end, status] = std::from_chars(whole.data(), whole.data() + whole.size(), seconds);
    if (whole.empty() || status != std::errc{} || end != whole.data() + whole.size() || fraction.size() > 3 ||
        (point != std::string_view::npos && fraction.empty()) || seconds > std::int64_t{86400} * 365)
        return false;
    std::int64_t milliseconds = seconds * 1000;
    std::int64_t scale = 100;
    for (const char c : fraction) {
        if (c < '0' || c > '9') return false;
        milliseconds += (c - '0') * scale;
        scale /= 10;
    }
    options.timers[static_cast<std::size_t>(row->timer)] = milliseconds;
    error.clear();
    return true;
}

std::string timerText(std::int64_t milliseconds) {
    std::string seconds;
    appendSeconds(seconds, milliseconds);
    // "15.000" -> "15", "20.500" -> "20.5"
    while (seconds.ends_with('0')) seconds.pop_back();
    if (seconds.ends_with('.')) seconds.pop_back();
    return seconds + " s";
}

std::string circuitStateText(const CircuitState& circuit) {
    std::string text;
    const auto add = [&text](std::string_view piece) {
        if (!text.empty()) text += "; ";
        text += piece;
    };
    switch (circuit.call) {
        case CallState::Busy: add("busy"); break;
        case CallState::AwaitingReleaseComplete: add("waiting for RLC"); break;
        case CallState::Unknown:
        case CallState::Idle: break;
    }
    if (circuit.resetPending) add("reset pending");
    constexpr std::pair<std::uint8_t, std::string_view> kBlockings[] = {
        {kLocalMaintenance, "blocked locally (maintenance)"},
        {kLocalHardware, "blocked locally (hardware)"},
        {kRemoteMaintenance, "blocked remotely (maintenance)"},
        {kRemoteHardware, "blocked remotely (hardware)"},
    };
    for (const auto& [bit, name] : kBlockings)
        if ((circuit.blocked & bit) != 0) add(name);
    if (text.empty()) text = "idle";
    return text;
}

CircuitHealth::CircuitHealth(const CheckOptions& options, FindingSink onFinding)
    : options_(options), onFinding_(std::move(onFinding)) {
    for (const TimerRow& row : kTimers) {
        std::string& sentence = expiredSentences_[static_cast<std::size_t>(row.timer)];
        sentence += row.startedBy == "IAM or SAM" ? "address message" : row.startedBy;
        sentence += " not answered by ";
        sentence += row.stoppedBy;
        sentence += " within ";
        sentence += row.name;
        sentence += " (";
        sentence += timerText(options_.timers[static_cast<std::size_t>(row.timer)]);
        sentence += ")";
    }
}

void CircuitHealth::report(Finding finding) {
    ++findingCount_;
    ++byKind_[static_cast<std::size_t>(finding.kind)];
    if (onFinding_) onFinding_(finding);
    if (kept_.size() < kKeptFindings) kept_.push_back(std::move(finding));
}

void CircuitHealth::report(FindingKind kind, const CircuitState& circuit, const RecordFacts& record,
                           std::optional<std::int64_t> at, bool passes, std::string sentence, std::uint64_t otherRecord) {
    report(Finding{.kind = kind,
                   .circuit = circuit.code,
                   .lastCircuit = std::nullopt,
                   .switchName = switches_[circuit.switchIndex].name,
                   .route = circuit.route,
                   .record = record.record,
                   .otherRecord = otherRecord,
                   .at = at,
                   .time = std::string(record.time),
                   .sentence = std::move(sentence),
                   .passed = passes});
}

RunningTimer& CircuitHealth::timerOf(Timer timer, CircuitState& circuit) {
    switch (timer) {
        case Timer::T1: return circuit.callTimers[0];
        case Timer::T7: return circuit.callTimers[1];
        case Timer::T9: return circuit.callTimers[2];
        default: return otherTimers_[keyOf(circuit)][static_cast<std::size_t>(timer)];
    }
}

void CircuitHealth::start(Timer timer, CircuitState& circuit, const RecordFacts& record,
                          std::optional<std::int64_t> at, bool passes) {
    RunningTimer& running = timerOf(timer, circuit);
    // 0 is kept for `held`, which has no generation.
    if (++generations_ == 0) ++generations_;
    running.generation = generations_;
    running.record = record.record;
    Switch& on = switches_[circuit.switchIndex];
    running.at = at ? at : on.now;
    copyText(running.time, record.time);
    running.passed = passes;
    circuit.timersRunning |= timerBit(timer);
    if (running.at)
        on.deadlines.push(Deadline{.at = *running.at + options_.timers[static_cast<std::size_t>(timer)],
                                   .circuit = indexOf(circuit),
                                   .generation = running.generation});
}

// A stopped timer keeps its place (its generation 0), so that starting it again allocates
// nothing. The circuit's bits say which run, so that stopping one that does not run costs
// nothing.
void CircuitHealth::stop(Timer timer, CircuitState& circuit) {
    if ((circuit.timersRunning & timerBit(timer)) == 0) return;
    circuit.timersRunning &= static_cast<std::uint16_t>(~timerBit(timer));
    timerOf(timer, circuit).generation = 0;
}

bool CircuitHealth::running(Timer timer, const CircuitState& circuit) {
    return (circuit.timersRunning & timerBit(timer)) != 0;
}

std::uint32_t CircuitHealth::newCircuit(std::uint64_t key) {
    const auto index = static_cast<std::uint32_t>(circuits_.size());
    circuits_.emplace_back();
    circuitIndex_[key] = index;
    return index;
}

std::optional<Timer> CircuitHealth::runningSince(const CircuitState& circuit, std::uint32_t generation) const {
    for (const Timer timer : {Timer::T1, Timer::T7, Timer::T9})
        if (running(timer, circuit) && circuit.callTimers[static_cast<std::size_t>(timer)].generation == generation) return timer;
    constexpr auto kCallTimers = static_cast<std::uint16_t>((1u << static_cast<unsigned>(Timer::T1)) |
                                                            (1u << static_cast<unsigned>(Timer::T7)) |
                                                            (1u << static_cast<unsigned>(Timer::T9)));
    if ((circuit.timersRunning & ~kCallTimers) == 0) return std::nullopt;
    const auto others = otherTimers_.find(keyOf(circuit));
    if (others == otherTimers_.end()) return std::nullopt;
    for (std::size_t timer = 0; timer < kTimerCount; ++timer)
        if (running(static_cast<Timer>(timer), circuit) && others->second[timer].generation == generation)
            return static_cast<Timer>(timer);
    return std::nullopt;
}

void CircuitHealth::expire(Switch& on, std::int64_t now) {
    while (!on.deadlines.empty() && on.deadlines.top().at < now) {
        const Deadline deadline = on.deadlines.top();
        on.deadlines.pop();
        CircuitState* circuit = &circuits_[deadline.circuit];
        if (deadline.generation == 0) {
            expireHeld(*circuit, on, now);
            continue;
        }
        const std::optional<Timer> expired = runningSince(*circuit, deadline.generation);
        if (!expired) continue;
        const Timer timer = *expired;
        const RunningTimer& running = timerOf(timer, *circuit);
        stop(timer, *circuit);
        std::string sentence = expiredSentences_[static_cast<std::size_t>(timer)];
        FindingKind kind = FindingKind::NotAcknowledged;
        if (timer == Timer::T1) {
            kind = FindingKind::ReleaseNotCompleted;
            circuit->releaseOverdue = true;
        }
        if (timer == Timer::T7) kind = FindingKind::NoBackwardMessage;
        if (timer == Timer::T9) kind = FindingKind::NoAnswer;
        const bool group = timer == Timer::T22 && circuit->groupLast > circuit->code;
        if (group) sentence += " for circuits " + std::to_string(circuit->code) + "-" + std::to_string(circuit->groupLast);
        report(Finding{.kind = kind,
                       .circuit = circuit->code,
                       .lastCircuit = group ? std::optional<std::uint32_t>(circuit->groupLast) : std::nullopt,
                       .switchName = on.name,
                       .route = circuit->route,
                       .record = running.record,
                       .otherRecord = 0,
                       .at = running.at,
                       .time = running.time,
                       .sentence = std::move(sentence),
                       .passed = running.passed});
    }
}

// A circuit's deadline of `held` is checked against its last message when it comes: one is queued
// per circuit at a time, so that the queue does not grow with its messages.
void CircuitHealth::watchHeld(CircuitState& circuit) {
    if (circuit.heldWatched || !circuit.lastAt) return;
    circuit.heldWatched = true;
    switches_[circuit.switchIndex].deadlines.push(Deadline{.at = *circuit.lastAt + options_.timers[static_cast<std::size_t>(Timer::Held)],
                                                           .circuit = indexOf(circuit),
                                                           .generation = 0});
}

void CircuitHealth::expireHeld(CircuitState& circuit, Switch& on, std::int64_t now) {
    circuit.heldWatched = false;
    if (circuit.call != CallState::Busy || circuit.stuck || !circuit.lastAt) return;
    const std::int64_t held = options_.timers[static_cast<std::size_t>(Timer::Held)];
    if (*circuit.lastAt + held >= now) {
        watchHeld(circuit);
        return;
    }
    circuit.stuck = true;
    std::string sentence = "busy with no message on the circuit for more than held (" + timerText(held) + ") since ";
    appendInstant(sentence, *circuit.lastAt);
    report(Finding{.kind = FindingKind::StuckCircuit,
                   .circuit = circuit.code,
                   .lastCircuit = std::nullopt,
                   .switchName = on.name,
                   .route = circuit.route,
                   .record = circuit.callRecord,
                   .otherRecord = 0,
                   .at = circuit.seizedAt ? circuit.seizedAt : circuit.since,
                   .time = circuit.callTime,
                   .sentence = std::move(sentence),
                   .passed = circuit.callPassed});
}

void CircuitHealth::clearCall(CircuitState& circuit) {
    for (const Timer timer : {Timer::T1, Timer::T7, Timer::T9}) stop(timer, circuit);
    circuit.releaseOverdue = false;
    circuit.stuck = false;
    circuit.pendingReleases = 0;
    circuit.backwardSeen = false;
    circuit.answeredNow = false;
    circuit.seizedAt.reset();
}

void CircuitHealth::resetCircuit(CircuitState& circuit, Direction direction, std::optional<std::int64_t> at) {
    ++circuit.resets;
    clearCall(circuit);
    circuit.call = CallState::Idle;
    circuit.since = at;
    // A reset takes back the maintenance blocking its sender had set (Q.764 2.9.3.1); hardware
    // blocking stays.
    circuit.blocked &= static_cast<std::uint8_t>(
        direction == Direction::Sent ? ~kLocalMaintenance : ~kRemoteMaintenance);
}

void CircuitHealth::noteSwitch(const MessageFacts& message) {
    const SwitchIndex index = message.switchIndex();
    if (index >= switches_.size()) switches_.resize(std::size_t{index} + 1);
    if (switches_[index].name.empty()) switches_[index].name = message.switchName();
    lastSwitch_ = index;
}

void CircuitHealth::add(const MessageFacts& message, std::optional<std::int64_t> at, bool passes) {
    const RecordFacts& record = message.record();
    const SwitchIndex switchIndex = message.switchIndex();
    // The switch changes only where a file of another switch begins (index 0 is the unnamed one).
    if (switchIndex != lastSwitch_) noteSwitch(message);
    Switch& on = switches_[switchIndex];
    if (at) {
        if (!on.now || *at > *on.now) on.now = at;
        expire(on, *on.now);
    }
    if (!record.decoded) {
        Finding finding;
        finding.kind = FindingKind::NotDecoded;
        if (record.hasCallInstanceCode) finding.circuit = record.callInstanceCode;
        finding.switchName = message.switchName();
        finding.route = message.routeName();
        finding.record = record.record;
        finding.at = at;
        finding.time = record.time;
        finding.sentence = record.reason;
        finding.passed = passes;
        report(std::move(finding));
    }
    if (!record.hasCallInstanceCode || record.typeCode < 0) return;
    const std::uint32_t code = record.callInstanceCode;
    bool isNew = false;
    // A new circuit may move the others: the group messages, which make the circuits of their
    // range, find this one again by its index afterwards.
    const std::uint32_t self = circuitOf(circuitKey(switchIndex, code, message.routeIndex()), isNew);
    CircuitState& circuit = circuits_[self];
    circuit.code = code;
    circuit.switchIndex = switchIndex;
    if (isNew && message.routeIndex() != 0) {
        circuit.routeIndex = message.routeIndex();
        circuit.route = message.routeName();
    }
    ++circuit.messages;
    circuit.lastRecord = record.record;
    if (at || on.now) circuit.lastAt = at ? at : on.now;
    if (passes) circuit.passed = true;
    const Direction direction = record.direction;
    const bool local = direction == Direction::Sent;
    const int type = record.typeCode;
    const bool open = circuit.call == CallState::Busy || circuit.call == CallState::AwaitingReleaseComplete;
    // The circuits from this one's code to `last` (a GRS's or GRA's range), each handed to `visit`.
    const auto eachInRange = [&](std::uint32_t last, const auto& visit) {
        for (std::uint64_t each = code; each <= last; ++each) {
            CircuitState& member = circuitAt(circuitKey(switchIndex, static_cast<std::uint32_t>(each), message.routeIndex()));
            const CircuitState& owner = circuits_[self];
            member.code = static_cast<std::uint32_t>(each);
            member.switchIndex = switchIndex;
            member.routeIndex = owner.routeIndex;
            member.route = owner.route;
            if (member.lastRecord < record.record) member.lastRecord = record.record;
            if (passes) member.passed = true;
            visit(member);
        }
    };

    if (type == codes::kInitialAddress) {
        // A circuit blocked by one side must not be seized by the other (test calls by the
        // blocking side may go).
        const std::uint8_t against = local ? (kRemoteMaintenance | kRemoteHardware) : (kLocalMaintenance | kLocalHardware);
        if ((circuit.blocked & against) != 0)
            report(FindingKind::SeizureOfBlockedCircuit, circuit, record, at, passes,
                   "IAM on a circuit blocked " + std::string(local ? "remotely" : "locally"));
        if (open) {
            const bool dual = circuit.call == CallState::Busy && circuit.seizedFrom != direction && !circuit.backwardSeen;
            if (dual)
                report(FindingKind::DualSeizure, circuit, record, at, passes,
                       "IAMs from both sides before any backward message", circuit.callRecord);
            else
                report(FindingKind::SeizureOfBusyCircuit, circuit, record, at, passes,
                       "IAM on a circuit whose call is still open", circuit.callRecord);
        }
        clearCall(circuit);
        ++circuit.seizures;
        circuit.call = CallState::Busy;
        circuit.callRecord = record.record;
        copyText(circuit.callTime, record.time);
        circuit.callPassed = passes;
        circuit.seizedAt = at;
        circuit.since = at;
        circuit.seizedFrom = direction;
        start(Timer::T7, circuit, record, at, passes);
        watchHeld(circuit);
        return;
    }
    switch (type) {
        case codes::kSubsequentAddress:
            if (circuit.call == CallState::Busy && !circuit.backwardSeen && running(Timer::T7, circuit))
                start(Timer::T7, circuit, record, at, passes);
            break;
        case codes::kAddressComplete:
        case codes::kCallProgress:
        case codes::kConnect:
        case codes::kAnswer:
            if (circuit.call == CallState::Unknown) {
                // A call begun before the log.
                circuit.call = CallState::Busy;
                circuit.callRecord = record.record;
                copyText(circuit.callTime, record.time);
                circuit.callPassed = passes;
                circuit.since = at;
                watchHeld(circuit);
            }
            if (circuit.call != CallState::Busy) break;
            circuit.backwardSeen = true;
            stop(Timer::T7, circuit);
            if (type == codes::kAddressComplete && !running(Timer::T9, circuit)) start(Timer::T9, circuit, record, at, passes);
            if ((type == codes::kAnswer || type == codes::kConnect) && !circuit.answeredNow) {
                stop(Timer::T9, circuit);
                circuit.answeredNow = true;
                ++circuit.answered;
            }
            break;
        case codes::kRelease:
            if (circuit.call == CallState::Idle) break;
            stop(Timer::T7, circuit);
            stop(Timer::T9, circuit);
            ++circuit.pendingReleases;
            if (!running(Timer::T1, circuit)) start(Timer::T1, circuit, record, at, passes);
            if (circuit.call != CallState::AwaitingReleaseComplete) circuit.since = at;
            circuit.call = CallState::AwaitingReleaseComplete;
            break;
        case codes::kReleaseComplete:
            if (circuit.pendingReleases > 0) {
                if (--circuit.pendingReleases == 0) stop(Timer::T1, circuit);
            } else if (circuit.resetPending && !circuit.groupResetPending) {
                stop(Timer::T16, circuit);
                circuit.resetPending = false;
            } else if (!isNew && circuit.call != CallState::Unknown) {
                report(FindingKind::ReleaseCompleteWithoutRelease, circuit, record, at, passes,
                       "RLC with no REL or RSC before it on the circuit");
            }
            if (circuit.pendingReleases == 0) {
                if (circuit.seizedAt && at && *at >= *circuit.seizedAt) circuit.holding += *at - *circuit.seizedAt;
                clearCall(circuit);
                if (circuit.call != CallState::Idle) circuit.since = at;
                circuit.call = CallState::Idle;
            }
            return;
        case codes::kResetCircuit:
            resetCircuit(circuit, direction, at);
            circuit.resetPending = true;
            circuit.groupResetPending = false;
            start(Timer::T16, circuit, record, at, passes);
            return;
        case codes::kCircuitGroupReset: {
            // Every circuit of the range is reset, and pending until the GRA (Q.764 2.9.3.2).
            const std::uint32_t last = rangeEnd(message, code);
            eachInRange(last, [&](CircuitState& member) {
                resetCircuit(member, direction, at);
                member.resetPending = true;
                member.groupResetPending = true;
            });
            circuits_[self].groupLast = last;
            start(Timer::T22, circuits_[self], record, at, passes);
            return;
        }
        case codes::kCircuitGroupResetAcknowledgement: {
            stop(Timer::T22, circuit);
            // The GRA's range, or the GRS's when it gives none.
            const std::uint32_t last = std::max(rangeEnd(message, code), circuit.groupLast);
            eachInRange(last, [](CircuitState& member) {
                if (member.groupResetPending) member.resetPending = member.groupResetPending = false;
            });
            circuits_[self].groupLast = 0;
            return;
        }
        case codes::kBlocking:
            circuit.blocked |= local ? kLocalMaintenance : kRemoteMaintenance;
            ++circuit.blockings;
            start(Timer::T12, circuit, record, at, passes);
            return;
        case codes::kBlockingAcknowledgement: stop(Timer::T12, circuit); return;
        case codes::kUnblocking:
            circuit.blocked &= static_cast<std::uint8_t>(local ? ~kLocalMaintenance : ~kRemoteMaintenance);
            start(Timer::T14, circuit, record, at, passes);
            return;
        case codes::kUnblockingAcknowledgement: stop(Timer::T14, circuit); return;
        case codes::kCircuitGroupBlocking:
        case codes::kCircuitGroupUnblocking: {
            const FieldFact* kind = message.find(knownFields().supervisionType);
            const bool hardware = kind != nullptr && kind->hasNumber && kind->number == 1;
            const std::uint8_t bit = local ? (hardware ? kLocalHardware : kLocalMaintenance)
                                           : (hardware ? kRemoteHardware : kRemoteMaintenance);
            const bool blocking = type == codes::kCircuitGroupBlocking;
            forEachStatusCircuit(message, code, [&](std::uint32_t each) {
                CircuitState& member = circuitAt(circuitKey(switchIndex, each, message.routeIndex()));
                const CircuitState& owner = circuits_[self];
                member.code = each;
                member.switchIndex = switchIndex;
                if (member.lastRecord < record.record) member.lastRecord = record.record;
                member.routeIndex = owner.routeIndex;
                member.route = owner.route;
                if (passes) member.passed = true;
                if (blocking) {
                    member.blocked |= bit;
                    ++member.blockings;
                } else {
                    member.blocked &= static_cast<std::uint8_t>(~bit);
                }
            });
            start(blocking ? Timer::T18 : Timer::T20, circuits_[self], record, at, passes);
            return;
        }
        case codes::kCircuitGroupBlockingAcknowledgement: stop(Timer::T18, circuit); return;
        case codes::kCircuitGroupUnblockingAcknowledgement: stop(Timer::T20, circuit); return;
        default: break;
    }
    // A call-control message on a circuit that an RLC or a reset left idle.
    if (circuit.call == CallState::Idle && callRoleOf(type) == CallRole::Joins)
        report(FindingKind::MessageOnIdleCircuit, circuit, record, at, passes,
               std::string(record.acronym) + " on an idle circuit (after its RLC or a reset)");
}

void CircuitHealth::finish(std::span<const std::string> inputWarnings) {
    for (Switch& on : switches_)
        if (on.now) expire(on, *on.now);
    for (const std::string& warning : inputWarnings) {
        Finding finding;
        finding.kind = FindingKind::InputWarning;
        finding.sentence = warning;
        report(std::move(finding));
    }
}

std::vector<const CircuitState*> CircuitHealth::circuits() const {
    std::vector<const CircuitState*> list;
    list.reserve(circuits_.size());
    for (const CircuitState& circuit : circuits_) list.push_back(&circuit);
    std::sort(list.begin(), list.end(), [this](const CircuitState* a, const CircuitState* b) {
        if (a->needsAttention() != b->needsAttention()) return a->needsAttention();
        if (a->switchIndex != b->switchIndex) return switchName(*a) < switchName(*b);
        if (a->routeIndex != b->routeIndex) return a->route < b->route;
        return a->code < b->code;
    });
    return list;
}

}  // namespace truno
