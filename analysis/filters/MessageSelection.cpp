#include "analysis/filters/MessageSelection.h"

#include <algorithm>

namespace truno {

bool MessageSelection::readsFields() const {
    return std::any_of(where.begin(), where.end(), [](const FilterExpression& e) { return e.readsFields(); });
}

bool MessageSelection::usesCallKeys() const {
    return std::any_of(where.begin(), where.end(), [](const FilterExpression& e) { return e.usesCallKeys(); });
}

bool MessageSelection::needsCalls() const {
    return !callRecords.empty() || std::any_of(where.begin(), where.end(), [](const FilterExpression& e) {
               return e.usesCallKeys() || e.usesMessageCall();
           });
}

bool MessageSelection::matches(const MessageFacts& message, std::uint64_t callFirstRecord) const {
    const MessageKeys keys{.record = message.record(),
                           .switchName = message.switchName(),
                           .callFirstRecord = callFirstRecord,
                           .fields = &message};
    return std::all_of(where.begin(), where.end(), [&](const FilterExpression& e) { return e.matches(keys); });
}

bool MessageSelection::matchesCall(const Call& call) const {
    return std::all_of(where.begin(), where.end(), [&](const FilterExpression& e) { return e.matchesCall(call); });
}

}  // namespace truno
