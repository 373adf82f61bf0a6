#pragma once
// The compiled form of a filter expression, shared by its compiler (FilterCompiler.cpp) and its
// evaluation (FilterExpression.cpp): what each key stands for, how its values compare, the
// operators, and the nodes of the tree.
#include "analysis/facts/FieldCatalog.h"
#include "analysis/filters/FilterExpression.h"
#include "dispatch/FieldRegistry.h"

// Regular expressions by RE2 where the build has it (TRUNO_RE2); a build without it (Debian has
// no MinGW build of RE2) refuses the matches operator when an expression is compiled.
#if defined(TRUNO_RE2)
#include <re2/re2.h>
#else
namespace re2 {
class RE2 {};
}  // namespace re2
#endif

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace truno::filternode {

// What a key stands for.
enum class Subject : std::uint8_t {
    Message,           // one of the message's own keys (which one: Node::messageKey)
    Field, Parameter,  // its fields
    CallOutcome, CallCause, CallCalling, CallCalled, CallCic, CallStart, CallSetup, CallAnswer, CallTalk,
    CallReleasedBy, CallMessages,                                               // its call's
    JourneyOutcome, JourneyLegs, JourneyReleasedAt, JourneySetup, JourneyCause,  // a journey's
};

// How a key's values compare.
enum class Kind : std::uint8_t {
    Number,    // unsigned whole numbers
    Text,      // text, in byte order
    Time,      // a time of day, in milliseconds
    Duration,  // seconds, kept in milliseconds
    Flag,      // only there or not
    Fields,    // a field: number or text by the field's type
};

inline bool isCallSubject(Subject s) { return s >= Subject::CallOutcome && s < Subject::JourneyOutcome; }
inline bool isJourneySubject(Subject s) { return s >= Subject::JourneyOutcome; }

enum class Op : std::uint8_t { Eq, Ne, Lt, Le, Gt, Ge, Contains, Matches, In, Present };

}  // namespace truno::filternode

namespace truno {

struct FilterExpression::Node {
    using Subject = filternode::Subject;
    using Kind = filternode::Kind;
    using Op = filternode::Op;

    enum class Shape : std::uint8_t { And, Or, Not, Test } shape = Shape::Test;
    int left = -1;
    int right = -1;
    std::size_t column = 0;
    Subject subject = Subject::Message;
    MessageKeyId messageKey = MessageKeyId::Record;  // Message
    Kind kind = Kind::Number;  // how this test compares (Fields resolved to Number or Text)
    Op op = Op::Present;
    std::string_view written;  // the key as written (only while compiling, for the messages)
    FieldRef ref;              // Field
    FieldType fieldType = FieldType::Number;
    int parameterCode = -1;    // Parameter
    bool printedText = false;  // a number field compared as the text it prints (contains, matches)
    std::uint64_t number = 0;
    std::int64_t signedNumber = 0;  // Time, Duration
    std::string text;
    int pattern = -1;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    std::vector<std::pair<std::int64_t, std::int64_t>> signedRanges;
    std::vector<std::string> texts;
};

}  // namespace truno
