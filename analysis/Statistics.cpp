#include "analysis/Statistics.h"

#include "dispatch/MessageTypes.h"
#include "dispatch/Codes.h"

#include <algorithm>
#include <cstdlib>

namespace truno {
namespace {

constexpr std::string_view kCauseValueLabel = "Cause Value";

constexpr ReasonKind kReasonKinds[] = {
    {.name = "internal error", .description = "a fault of the decoder itself"},
    {.name = "message too long", .description = "DATA past what the reader keeps for one message"},
    {.name = "no type code", .description = "fewer than five octets"},
    {.name = "unknown type", .description = "a message type code that is not known"},
    {.name = "not hex digits", .description = "an octet that is not two upper-case hex digits"},
    {.name = "octets missing", .description = "a parameter, pointer or length that runs past the last octet"},
    {.name = "optional part not closed", .description = "no end-of-optional-parameters octet"},
    {.name = "value too large", .description = "a value too large to convert"},
    {.name = "other", .description = "any other reason"},
};

// What a reason says, by the words the decoders use for it; the first row whose words the
// reason holds gives its kind (an index into kReasonKinds).
struct ReasonWords {
    std::string_view words;
    std::size_t kind;
};
constexpr ReasonWords kReasonWords[] = {
    {.words = "internal decoder error", .kind = 0},
    {.words = "the message's DATA runs past", .kind = 1},
    {.words = "at least five are needed", .kind = 2},
    {.words = "is not a known message type", .kind = 3},
    {.words = "lower-case digit", .kind = 4},
    {.words = "is not a hex digit", .kind = 4},
    {.words = "is missing", .kind = 5},
    {.words = "missing octet", .kind = 5},
    {.words = "past the last octet", .kind = 5},
    {.words = "are empty", .kind = 5},
    {.words = "is empty", .kind = 5},
    {.words = "optional part does not end", .kind = 6},
    {.words = "too large", .kind = 7},
};
constexpr std::size_t kOtherReason = std::size(kReasonKinds) - 1;

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

std::span<const ReasonKind> reasonKinds() { return kReasonKinds; }

std::size_t reasonKindOf(std::string_view reason) {
    for (const ReasonWords& row : kReasonWords)
        if (reason.find(row.words) != std::string_view::npos) return row.kind;
    return kOtherReason;
}

void Statistics::addMessage(const MessageFacts& message) {
    const RecordFacts& record = message.record();
    ++messages_;
    std::size_t direction = 0;
    while (direction < directions_.size() && directions_[direction] != record.direction) ++direction;
    if (direction == directions_.size()) {
        directions_.emplace_back(record.direction);
        typeCounts_.emplace_back();
        typeCounts_.back().fill(0);
    }
    ++typeCounts_[direction][record.typeCode < 0 ? kTypeSlots - 1 : static_cast<std::size_t>(record.typeCode)];
    if (!record.decoded) {
        ++notDecoded_;
        if (reasonCounts_.empty()) reasonCounts_.assign(std::size(kReasonKinds), 0);
        ++reasonCounts_[reasonKindOf(record.reason)];
    }
    if (record.typeCode == codes::kRelease) {
        scratch_.clear();
        if (const FieldFact* cause = message.find(codes::kCauseIndicators, kCauseValueLabel)) foldValue(scratch_, cause->printed);
        const ValueParts parts = splitValue(scratch_);
        auto found = causes_.find(parts.value);
        if (found == causes_.end())
            found = causes_.emplace(std::string(parts.value),
                                    CauseCount{.value = std::string(parts.value), .text = std::string(parts.meaning)})
                        .first;
        ++found->second.count;
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
        if (reasonCounts_[kind] != 0) counts.push_back({.kind = &kReasonKinds[kind], .count = reasonCounts_[kind]});
    return counts;
}

std::vector<const Statistics::CauseCount*> Statistics::causes() const {
    std::vector<const CauseCount*> counts;
    counts.reserve(causes_.size());
    for (const auto& [value, count] : causes_) counts.push_back(&count);
    // Cause values are decimal numbers: in numeric order, a missing value first.
    std::stable_sort(counts.begin(), counts.end(), [](const CauseCount* a, const CauseCount* b) {
        if (a->value.size() != b->value.size()) return a->value.size() < b->value.size();
        return a->value < b->value;
    });
    return counts;
}

}  // namespace truno
