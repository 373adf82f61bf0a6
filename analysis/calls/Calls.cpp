#include "analysis/calls/Calls.h"

#include "analysis/facts/KnownFields.h"
#include "dispatch/MessageTypes.h"
#include "dispatch/Codes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace truno {
namespace {

struct RoleRow {
    std::string_view acronym;
    CallRole role;
};

// The message types by what they do to calls. Every other type (national ones such as CRG,
// SCB, OPR, and codes that are not known) belongs to no call.
constexpr RoleRow kRoles[] = {
    {"IAM", CallRole::Opens},
    {"ACM", CallRole::Joins},  {"CPG", CallRole::Joins},  {"ANM", CallRole::Joins},  {"CON", CallRole::Joins},
    {"SAM", CallRole::Joins},  {"INR", CallRole::Joins},  {"INF", CallRole::Joins},  {"COT", CallRole::Joins},
    {"SUS", CallRole::Joins},  {"RES", CallRole::Joins},  {"FOT", CallRole::Joins},  {"USR", CallRole::Joins},
    {"FAC", CallRole::Joins},  {"FAR", CallRole::Joins},  {"FAA", CallRole::Joins},  {"FRJ", CallRole::Joins},
    {"APM", CallRole::Joins},  {"PRI", CallRole::Joins},  {"SGM", CallRole::Joins},  {"IDR", CallRole::Joins},
    {"IRS", CallRole::Joins},  {"NRM", CallRole::Joins},  {"LOP", CallRole::Joins},  {"REL", CallRole::Joins},
    {"CFN", CallRole::Joins},
    {"RLC", CallRole::Ends},
    {"GRS", CallRole::Circuit}, {"GRA", CallRole::Circuit}, {"CGB", CallRole::Circuit}, {"CGBA", CallRole::Circuit},
    {"CGU", CallRole::Circuit}, {"CGUA", CallRole::Circuit}, {"UCIC", CallRole::Circuit},
    {"BLO", CallRole::Circuit}, {"BLA", CallRole::Circuit}, {"UBL", CallRole::Circuit}, {"UBA", CallRole::Circuit},
    {"CCR", CallRole::Circuit}, {"LPA", CallRole::Circuit}, {"CQM", CallRole::Circuit}, {"CQR", CallRole::Circuit},
    {"OLM", CallRole::Circuit}, {"UPT", CallRole::Circuit}, {"UPA", CallRole::Circuit},
    {"RSC", CallRole::Resets},
};

// The roles by type code, from the message type table and the rows above.
std::array<CallRole, 256> rolesByCode() {
    std::array<CallRole, 256> roles{};
    roles.fill(CallRole::None);
    for (const MessageType& type : messageTypes())
        for (const RoleRow& row : kRoles)
            if (row.acronym == type.acronym) roles[type.code] = row.role;
    return roles;
}

// Built before main() from the message type table, which is constant: asked once a message, the
// roles need no guard of a static built on first use.
const std::array<CallRole, 256> kRolesByCode = rolesByCode();

constexpr std::string_view kOutcomeNames[kCallOutcomeCount] = {"answered", "unanswered", "incomplete", "reset",
                                                              "begun-before-log"};

void assign(std::string& to, std::string_view from) { to.assign(from.data(), from.size()); }

// The printed value of a field, folded onto one line, or nothing.
void foldedField(const MessageFacts& message, const FieldRef& ref, std::string& to) {
    to.clear();
    if (const FieldFact* field = message.find(ref)) foldValue(to, field->printed);
}

// The digits of an address field (without the filler of an odd number), or nothing.
void digitsField(const MessageFacts& message, const FieldRef& ref, std::string& to) {
    to.clear();
    if (const FieldFact* field = message.find(ref)) assign(to, field->digits());
}

std::optional<std::int64_t> between(std::optional<std::int64_t> from, std::optional<std::int64_t> to) {
    if (!from || !to) return std::nullopt;
    return *to - *from;
}

}  // namespace

CallRole callRoleOf(int typeCode) {
    if (typeCode < 0 || typeCode > 255) return CallRole::None;
    return kRolesByCode[static_cast<std::size_t>(typeCode)];
}

std::string_view outcomeName(CallOutcome outcome) { return kOutcomeNames[static_cast<std::size_t>(outcome)]; }

std::optional<std::int64_t> CallInstants::setupTime() const {
    return opened ? between(first, addressComplete) : std::nullopt;
}
std::optional<std::int64_t> CallInstants::answerDelay() const { return opened ? between(first, answer) : std::nullopt; }
std::optional<std::int64_t> CallInstants::conversationTime() const { return between(answer, release); }

void CallTracker::setMoment(CallMoment& moment, const RecordFacts& record, std::optional<std::int64_t> at) const {
    moment.present = true;
    if (texts_) assign(moment.time, record.time);
    moment.at = at;
}

CallTracker::CallTracker(FinishedSink finished, std::size_t maxHeld) : finished_(std::move(finished)), maxHeld_(maxHeld) {}

std::uint32_t CallTracker::newSlot() {
    if (!freeSlots_.empty()) {
        const std::uint32_t slot = freeSlots_.back();
        freeSlots_.pop_back();
        done_[slot] = false;
        return slot;
    }
    slots_.emplace_back();
    done_.push_back(false);
    return static_cast<std::uint32_t>(slots_.size() - 1);
}

void CallTracker::end(std::uint32_t slot, CallOutcome outcome) {
    Call& call = slots_[slot];
    // A call whose start the log does not hold keeps saying so, however it ended.
    if (!call.opened) outcome = CallOutcome::BegunBeforeLog;
    call.outcome = outcome;
    if (CircuitCalls* circuit = circuits_.find(circuitKey(call.switchIndex, call.callInstanceCode, call.routeIndex));
        circuit != nullptr && circuit->open != kNoSlot) {
        circuit->open = kNoSlot;
        --openCalls_;
    }
    done_[slot] = true;
    ++held_;
    sendFinished();
}

// The finished calls at the front of the order go out; past the bound, every held call does.
void CallTracker::sendFinished() {
    const auto send = [this](std::uint32_t slot) {
        finished_(slots_[slot]);
        freeSlots_.push_back(slot);
        --held_;
    };
    while (!order_.empty() && done_[order_.front()]) {
        send(order_.front());
        order_.pop_front();
    }
    if (held_ > maxHeld_) {
        std::deque<std::uint32_t> stillOpen;
        for (const std::uint32_t slot : order_) {
            if (done_[slot])
                send(slot);
            else
                stillOpen.push_back(slot);
        }
        order_.swap(stillOpen);
    }
    mostHeld_ = std::max(mostHeld_, held_);
}

void CallTracker::forEachHeld(const FinishedSink& visit) const {
    for (const std::uint32_t slot : order_)
        if (done_[slot]) visit(slots_[slot]);
}

void CallTracker::releaseEnded() {
    if (!ended_) return;
    const std::uint32_t slot = *ended_;
    ended_.reset();
    end(slot, endedAs_);
}

void CallTracker::resetRange(SwitchIndex switchIndex, RouteIndex route, std::uint32_t code, std::uint32_t range) {
    const std::uint64_t last = std::uint64_t{code} + range;
    for (std::uint64_t each = code; each <= last && each <= UINT32_MAX; ++each) {
        // end() looks the circuit up without inserting: the reference holds.
        CircuitCalls& circuit = circuits_[circuitKey(switchIndex, static_cast<std::uint32_t>(each), route)];
        if (circuit.open != kNoSlot) end(circuit.open, CallOutcome::Reset);
        circuit.idle = true;
    }
}

namespace {

// On a circuit not known to be idle, the types that show a call begun before the log: the
// backward call-control messages and the release.
bool opensBegunBeforeLog(int typeCode) {
    return typeCode == codes::kAddressComplete || typeCode == codes::kCallProgress || typeCode == codes::kAnswer ||
           typeCode == codes::kConnect || typeCode == codes::kRelease;
}

}  // namespace

Call* CallTracker::add(const MessageFacts& message, std::optional<std::int64_t> at) {
    releaseEnded();
    const RecordFacts& record = message.record();
    const CallRole role = callRoleOf(record.typeCode);
    if (!record.hasCallInstanceCode || role == CallRole::None) return nullptr;
    const std::uint32_t code = record.callInstanceCode;
    if (role == CallRole::Circuit) {
        if (record.typeCode == codes::kCircuitGroupReset) {
            const FieldFact* range = message.find(knownFields().range);
            resetRange(message.switchIndex(), message.routeIndex(), code,
                       range != nullptr && range->hasNumber ? static_cast<std::uint32_t>(range->number) : 0);
        }
        return nullptr;
    }
    // Until the next insert (end() inserts nothing), `circuit` holds.
    bool isNew = false;
    CircuitCalls& circuit = circuits_.insert(circuitKey(message.switchIndex(), code, message.routeIndex()), isNew);
    if (role == CallRole::Resets) {
        circuit.idle = true;
        if (circuit.open == kNoSlot) return nullptr;
    } else if (role == CallRole::Opens) {
        if (circuit.open != kNoSlot) end(circuit.open, CallOutcome::Incomplete);
        circuit.idle = false;
    } else if (circuit.open == kNoSlot && (circuit.idle || !opensBegunBeforeLog(record.typeCode))) {
        return nullptr;  // a stray message on an idle circuit
    }
    if (circuit.open == kNoSlot) {
        const std::uint32_t slot = newSlot();
        order_.push_back(slot);
        circuit.open = slot;
        ++openCalls_;
        Call& call = slots_[slot];
        call.callInstanceCode = code;
        // A slot's name is always its index's (index 0's is empty, as a new slot's): the name is
        // copied only when a slot changes switch.
        if (call.switchIndex != message.switchIndex()) {
            call.switchIndex = message.switchIndex();
            assign(call.switchName, message.switchName());
        }
        if (call.routeIndex != message.routeIndex()) {
            call.routeIndex = message.routeIndex();
            assign(call.route, message.routeName());
        }
        call.firstRecord = record.record;
        setMoment(call.first, record, at);
        for (CallMoment* moment : {&call.lastAddress, &call.firstBackward, &call.addressComplete, &call.progress, &call.answer, &call.release,
                                   &call.releaseComplete}) {
            moment->present = false;
            moment->time.clear();
            moment->at.reset();
        }
        for (std::string* text : {&call.direction, &call.calling, &call.called, &call.releasedBy, &call.location})
            text->clear();
        call.cause.reset();
        call.outcome = CallOutcome::Incomplete;
        call.messages = 0;
        call.notDecoded = 0;
        call.opened = role == CallRole::Opens;
        call.selected = false;
    }
    const std::uint32_t slot = circuit.open;
    Call& call = slots_[slot];
    call.lastRecord = record.record;
    setMoment(call.last, record, at);
    ++call.messages;
    if (!record.decoded) ++call.notDecoded;

    const int type = record.typeCode;
    // The setup delay's ends: the address messages until the called side answers them, then the
    // first ACM, CON, CPG or REL from the called side.
    const bool addressMessage = role == CallRole::Opens || type == codes::kSubsequentAddress;
    if (addressMessage && !call.firstBackward.present) setMoment(call.lastAddress, record, at);
    if (!addressMessage && !call.firstBackward.present && opensBegunBeforeLog(type) && record.directionText != call.direction)
        setMoment(call.firstBackward, record, at);
    if (role == CallRole::Opens) {
        assign(call.direction, record.directionText);
        digitsField(message, knownFields().calledDigits, call.called);
        if (texts_) digitsField(message, knownFields().callingDigits, call.calling);
    } else if (type == codes::kAddressComplete) {
        if (!call.addressComplete.present) setMoment(call.addressComplete, record, at);
    } else if (type == codes::kCallProgress) {
        if (!call.progress.present) setMoment(call.progress, record, at);
    } else if (type == codes::kAnswer || type == codes::kConnect) {
        if (!call.answer.present) setMoment(call.answer, record, at);
    } else if (type == codes::kRelease) {
        if (!call.release.present) {
            setMoment(call.release, record, at);
            assign(call.releasedBy, record.directionText);
            if (const FieldFact* cause = message.find(knownFields().causeValue); cause != nullptr && cause->hasNumber)
                call.cause = static_cast<std::uint32_t>(cause->number);
            if (texts_) foldedField(message, knownFields().causeLocation, call.location);
        }
    } else if (role == CallRole::Ends) {
        setMoment(call.releaseComplete, record, at);
        circuit.idle = true;
        ended_ = slot;
        endedAs_ = call.answer.present ? CallOutcome::Answered : CallOutcome::Unanswered;
    } else if (role == CallRole::Resets) {
        ended_ = slot;
        endedAs_ = CallOutcome::Reset;
    }
    return &call;
}

void CallTracker::finish() {
    releaseEnded();
    // Oldest first: the order holds the open calls by first record.
    const std::deque<std::uint32_t> left = order_;
    for (const std::uint32_t slot : left)
        if (!done_[slot]) end(slot, CallOutcome::Incomplete);
}

}  // namespace truno
