#pragma once
// What the command line's filters, or the window's filter bar, select: filter expressions that
// must all hold (--where or the bar's expression, and the shorthand options or the bar's boxes
// compiled into expressions: compileShorthand), and, on the command line, the calls named by any
// record of theirs (--call N). The analysis applies it (LogAnalysis); the window's message list
// asks it of the messages it keeps.
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
    // Whether it needs the messages' calls followed: --call, call keys, or a message's call.
    bool needsCalls() const;
    // The message-level part of every expression; `callFirstRecord` is the first record of the
    // call the message belongs to (0: none).
    bool matches(const MessageFacts& message, std::uint64_t callFirstRecord) const;
    // The same for a message whose fields are built only when asked (`message.fields` unset): the
    // conditions on the message's own keys are asked first, and `buildFields()`, which gives the
    // message's facts, is called only when they all hold and conditions on fields are left.
    template <class BuildFields>
    bool matches(const MessageKeys& message, BuildFields buildFields) const {
        for (const FilterExpression& e : where)
            if (!e.matchesOwnKeys(message)) return false;
        if (!readsFields()) return true;
        MessageKeys withFields = message;
        withFields.fields = &buildFields();
        for (const FilterExpression& e : where)
            if (!e.matchesFields(withFields)) return false;
        return true;
    }
    // The call-level part of every expression, for a finished call.
    bool matchesCall(const Call& call) const;
};

}  // namespace truno
