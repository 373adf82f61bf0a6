#pragma once
// Filter expressions over the facts of a message and of a call, in the style of display
// filters: `cause == 34 and cic in {10..30}`, `type == IAM and called matches "^4420"`,
// `call.outcome == unanswered and call.setup > 5`. The grammar and the keys are in
// docs/filters.md. An expression is compiled once into a small tree of nodes; evaluating it
// reads the message's facts and allocates nothing.
#include "analysis/calls/Calls.h"
#include "analysis/facts/MessageFacts.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace re2 {
class RE2;
}

namespace truno {

// Why an expression does not compile, and where: `column` counts bytes from the start of the
// expression (0: its first character).
struct FilterError {
    std::string message;
    std::size_t column = 0;
};

// The message's first line of an error, the expression and a caret line under the place.
std::string describeFilterError(std::string_view expression, const FilterError& error);


// What the keys of a message read: the facts of its record, its log's switch and its call (the
// message's own keys), and its fields (the field and parameter keys). The conditions on its own
// keys are answered without the fields (FilterExpression::matchesOwnKeys): a message a store keeps
// is tested on its row, and its fields are rebuilt only for conditions that read them.
struct MessageKeys {
    const RecordFacts& record;
    std::string_view switchName;          // empty: no switch named
    std::uint64_t callFirstRecord = 0;    // the first record of the call it belongs to; 0: none
    const MessageFacts* fields = nullptr;  // null: not built, as if it had no fields
};

// What the keys of a journey read (analysis/journeys): journey.outcome, journey.legs,
// journey.released_at, journey.setup, journey.cause.
struct JourneyKeys {
    std::string_view outcome;
    std::uint64_t legs = 0;
    std::string_view releasedAt;            // empty: not known
    std::optional<std::int64_t> setup;      // milliseconds
    std::optional<std::uint32_t> cause;
};

// Every name a key may take: the message's and the call's own keys, the aliases, the whole
// field keys and the parameter keys (for completion).
std::vector<std::string> filterKeyNames();

class FilterExpression {
public:
    FilterExpression();
    ~FilterExpression();
    FilterExpression(FilterExpression&&) noexcept;
    FilterExpression& operator=(FilterExpression&&) noexcept;
    FilterExpression(const FilterExpression&) = delete;
    FilterExpression& operator=(const FilterExpression&) = delete;

    // Compiles `text`; false with `error` set when it does not read. An empty text (or only
    // blanks) is an error too.
    bool compile(std::string_view text, FilterError& error);

    // Whether the message passes the message-level part of the expression (the conditions on
    // call keys are left to matchesCall).
    bool matches(const MessageKeys& message) const { return matchesOwnKeys(message) && matchesFields(message); }
    // That part in two, split at the 'and's at the top of the expression: the conditions on the
    // message's own keys, and those that read its fields (each true when there are none), so that
    // the fields need only be built for a message that passes the others.
    bool matchesOwnKeys(const MessageKeys& message) const;
    bool matchesFields(const MessageKeys& message) const;
    // Whether a finished call passes the conditions on call keys (true when there are none).
    bool matchesCall(const Call& call) const;

    // Whether a journey passes the conditions on journey keys (true when there are none).
    bool matchesJourney(const JourneyKeys& journey) const;
    // Whether the expression names journey keys, and whether it names nothing else.
    bool usesJourneyKeys() const { return journeyRoot_ >= 0; }
    bool onlyJourneyKeys() const { return journeyRoot_ >= 0 && callRoot_ < 0 && ownRoot_ < 0 && fieldsRoot_ < 0; }

    // Whether the expression names call keys (call.outcome, ...).
    bool usesCallKeys() const { return callRoot_ >= 0; }
    // Whether it names the call a message belongs to (`call`, the call's first record).
    bool usesMessageCall() const;
    // Whether it reads the fields of a message (beyond its record's own facts).
    bool readsFields() const { return fieldsRoot_ >= 0; }
    const std::string& text() const { return text_; }

    struct Node;

private:
    std::string text_;
    std::vector<Node> nodes_;
    std::vector<std::unique_ptr<re2::RE2>> patterns_;
    int ownRoot_ = -1;     // the conditions on the message's own keys
    int fieldsRoot_ = -1;  // those that read its fields
    int callRoot_ = -1;
    int journeyRoot_ = -1;

    friend class FilterCompiler;
    bool evalMessage(int node, const MessageKeys& message) const;
    bool evalCall(int node, const Call& call) const;
    bool evalJourney(int node, const JourneyKeys& journey) const;
};

}  // namespace truno
