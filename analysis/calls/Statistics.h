#pragma once
// Counts over a log: messages per type and direction, messages not decoded per kind of reason,
// calls per outcome, the messages outside calls, and the causes of the release messages per
// cause value.
#include "analysis/calls/Calls.h"
#include "analysis/facts/MessageFacts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

class Statistics {
public:
    // A message of the log (or of the messages a filter let through); `inCall`: it belongs to a
    // call.
    void addMessage(const MessageFacts& message, bool inCall);
    // A finished call.
    void addCall(const Call& call);

    std::uint64_t messages() const { return messages_; }
    std::uint64_t notDecoded() const { return notDecoded_; }
    std::uint64_t calls() const { return calls_; }
    // Messages that belong to no call; of them, the circuit events (circuit supervision messages
    // such as RSC, GRS, CGB) and the stray call-control messages (on an idle circuit, such as the
    // RLC that answers a reset).
    std::uint64_t outsideCalls() const { return outsideCalls_; }
    std::uint64_t circuitEvents() const { return circuitEvents_; }
    std::uint64_t strayMessages() const { return strays_; }

    // Messages of a type in a direction: the type code (-1: the message has no type code) and
    // the direction as read; in type code order, then in the order the directions first came.
    struct TypeCount {
        int typeCode;
        std::string_view acronym;  // empty for a type code that is not known
        std::string_view direction;
        std::uint64_t count;
    };
    void forEachType(const std::function<void(const TypeCount&)>& visit) const;

    // Not-decoded messages per kind of failure (in the order of DecodeFailure; kinds with none
    // are left out).
    struct ReasonCount {
        DecodeFailure failure;
        std::uint64_t count;
    };
    std::vector<ReasonCount> reasons() const;

    std::uint64_t callsWith(CallOutcome outcome) const { return outcomes_[static_cast<std::size_t>(outcome)]; }

    // Release messages (REL, not calls' releases) per cause value, in the order of the values'
    // numbers (the texts of each are the cause table's, parameters/callcontrol/CauseValues.h).
    // Release messages that were not decoded have no cause and are counted under -1.
    struct CauseCount {
        std::int64_t number = -1;  // -1: no cause (the release message was not decoded)
        std::uint64_t count = 0;
    };
    std::vector<const CauseCount*> causes() const;

private:
    static constexpr std::size_t kTypeSlots = 257;  // type codes 0-255 and "no type code"
    std::uint64_t messages_ = 0;
    std::uint64_t notDecoded_ = 0;
    std::uint64_t calls_ = 0;
    std::uint64_t outsideCalls_ = 0;
    std::uint64_t circuitEvents_ = 0;
    std::uint64_t strays_ = 0;
    std::vector<std::string> directions_;
    std::vector<std::array<std::uint64_t, kTypeSlots>> typeCounts_;  // per direction
    std::array<std::uint64_t, kDecodeFailureCount> reasonCounts_{};
    std::array<std::uint64_t, kCallOutcomeCount> outcomes_{};
    std::map<std::int64_t, CauseCount> causes_;
};

}  // namespace truno
