#pragma once
// What the command line's filters select: filter expressions that must all hold (--where, and the
// shorthand options compiled into expressions), and the calls named by any record of theirs
// (--call N). The analysis applies it (LogAnalysis).
#include "analysis/filters/FilterExpression.h"

#include <cstdint>
#include <vector>

namespace truno {

struct MessageSelection {
    std::vector<FilterExpression> where;      // all must hold
    std::vector<std::uint64_t> callRecords;   // --call: records of the calls wanted (any one)

    bool active() const { return !where.empty() || !callRecords.empty(); }
    // Whether an expression reads the fields of messages, or names call keys.
    bool readsFields() const;
    bool usesCallKeys() const;
    // The message-level part of every expression.
    bool matches(const MessageFacts& message) const;
    // The call-level part of every expression, for a finished call.
    bool matchesCall(const Call& call) const;
};

}  // namespace truno
