#include "analysis/calls/Statistics.h"

#include "dispatch/MessageTypes.h"
#include "analysis/facts/KnownFields.h"
#include "dispatch/Codes.h"

#include <algorithm>
#include <cstdlib>

namespace truno {
namespace {


// Acronyms by type code.
std::array<std::string_view, 256> acronymsByCode() {
    std::array<std::string_view, 256> acronyms{};
    for (const MessageType& type : messageTypes()) acronyms[type.code] = type.acronym;
    return acronyms;
}

std::string_view acronymOf(int typeCode) {
    static const std::array<std::string_view, 256> acronyms = acronymsByCode();
    return typeCode >= 0 && typeCode < 256 ? acronyms[static_cast<std::size_t>(typeCode)] : std::string_view{};
}

}  // namespace

void Statistics::addMessage(const MessageFacts& message, bool inCall) {
    const RecordFacts& record = message.record();
    ++messages_;
    if (!inCall) {
        ++outsideCalls_;
        const CallRole role = callRoleOf(record.typeCode);
        if (role == CallRole::Circuit || role == CallRole::Resets)
            ++circuitEvents_;
        else if (role != CallRole::None && record.hasCallInstanceCode)
            ++strays_;
    }
    std::size_t direction = 0;
    while (direction < directions_.size() && directions_[direction] != record.directionText) ++direction;
    if (direction == directions_.size()) {
        directions_.emplace_back(record.directionText);
        typeCounts_.emplace_back();
        typeCounts_.back().fill(0);
    }
    ++typeCounts_[direction][record.typeCode < 0 ? kTypeSlots - 1 : static_cast<std::size_t>(record.typeCode)];
    if (!record.decoded) {
        ++notDecoded_;
        ++reasonCounts_[static_cast<std::size_t>(record.failure)];
    }
    if (record.typeCode == codes::kRelease) {
        const FieldFact* cause = message.find(knownFields().causeValue);
        const std::int64_t number = cause != nullptr && cause->hasNumber ? static_cast<std::int64_t>(cause->number) : -1;
        CauseCount& count = causes_[number];
        count.number = number;
        ++count.count;
    }
}

void Statistics::addCall(const Call& call) {
    ++calls_;
    ++outcomes_[static_cast<std::size_t>(call.outcome)];
}

void Statistics::forEachType(const std::function<void(const TypeCount&)>& visit) const {
    for (std::size_t slot = 0; slot < kTypeSlots; ++slot) {
        const int typeCode = slot == kTypeSlots - 1 ? -1 : static_cast<int>(slot);
        for (std::size_t direction = 0; direction < directions_.size(); ++direction) {
            const std::uint64_t count = typeCounts_[direction][slot];
            if (count != 0)
                visit(TypeCount{.typeCode = typeCode, .acronym = acronymOf(typeCode),
                                .direction = directions_[direction], .count = count});
        }
    }
}

std::vector<Statistics::ReasonCount> Statistics::reasons() const {
    std::vector<ReasonCount> counts;
    for (std::size_t kind = 0; kind < reasonCounts_.size(); ++kind)
        if (reasonCounts_[kind] != 0)
            counts.push_back({.failure = static_cast<DecodeFailure>(kind), .count = reasonCounts_[kind]});
    return counts;
}

std::vector<const Statistics::CauseCount*> Statistics::causes() const {
    std::vector<const CauseCount*> counts;
    counts.reserve(causes_.size());
    for (const auto& [value, count] : causes_) counts.push_back(&count);
    return counts;  // the map keeps them in numeric order, a missing value (-1) first
}

}  // namespace truno
