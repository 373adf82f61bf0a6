// Evaluating a compiled filter expression against a message or a call.
#include "analysis/filters/FilterNode.h"

#include "analysis/calls/Calls.h"
#include "analysis/facts/LogClock.h"
#include "analysis/facts/MessageFacts.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

namespace truno {

using filternode::Kind;
using filternode::Op;
using filternode::Subject;

namespace {

using Node = FilterExpression::Node;

bool compareNumber(const Node& n, std::uint64_t v) {
    switch (n.op) {
        case Op::Eq: return v == n.number;
        case Op::Ne: return v != n.number;
        case Op::Lt: return v < n.number;
        case Op::Le: return v <= n.number;
        case Op::Gt: return v > n.number;
        case Op::Ge: return v >= n.number;
        case Op::In:
            return std::any_of(n.ranges.begin(), n.ranges.end(), [v](const auto& r) { return v >= r.first && v <= r.second; });
        default: return true;
    }
}

bool compareSigned(const Node& n, std::int64_t v) {
    switch (n.op) {
        case Op::Eq: return v == n.signedNumber;
        case Op::Ne: return v != n.signedNumber;
        case Op::Lt: return v < n.signedNumber;
        case Op::Le: return v <= n.signedNumber;
        case Op::Gt: return v > n.signedNumber;
        case Op::Ge: return v >= n.signedNumber;
        case Op::In:
            return std::any_of(n.signedRanges.begin(), n.signedRanges.end(),
                               [v](const auto& r) { return v >= r.first && v <= r.second; });
        default: return true;
    }
}

bool compareText(const Node& n, const std::vector<std::unique_ptr<re2::RE2>>& patterns, std::string_view v) {
    switch (n.op) {
        case Op::Eq: return v == n.text;
        case Op::Ne: return v != n.text;
        case Op::Lt: return v < n.text;
        case Op::Le: return v <= n.text;
        case Op::Gt: return v > n.text;
        case Op::Ge: return v >= n.text;
        case Op::Contains: return v.find(n.text) != std::string_view::npos;
        case Op::Matches:
#if defined(TRUNO_RE2)
            return re2::RE2::PartialMatch(re2::StringPiece(v.data(), v.size()), *patterns[static_cast<std::size_t>(n.pattern)]);
#else
            static_cast<void>(patterns);
            return false;
#endif
        case Op::In: return std::find(n.texts.begin(), n.texts.end(), v) != n.texts.end();
        case Op::Present: return true;
    }
    return true;
}

// `!=` holds when no value equals (as a display filter's): the test is made as `==` and turned.
bool turned(const Node& n) { return n.op == Op::Ne; }

// The test of one value, missing when `has` is false: present, or compared (a value missing fails
// a comparison and passes `!=`).
bool testNumber(const Node& n, bool has, std::uint64_t v) {
    if (n.op == Op::Present) return has;
    if (turned(n)) return !(has && v == n.number);
    return has && compareNumber(n, v);
}
bool testSigned(const Node& n, std::optional<std::int64_t> v) {
    if (n.op == Op::Present) return v.has_value();
    if (turned(n)) return !(v && *v == n.signedNumber);
    return v && compareSigned(n, *v);
}
bool testText(const Node& n, const std::vector<std::unique_ptr<re2::RE2>>& patterns, bool has, std::string_view v) {
    if (n.op == Op::Present) return has;
    if (turned(n)) return !(has && v == n.text);
    return has && compareText(n, patterns, v);
}

}  // namespace

bool FilterExpression::matchesOwnKeys(const MessageKeys& message) const {
    return ownRoot_ < 0 || evalMessage(ownRoot_, message);
}

bool FilterExpression::matchesFields(const MessageKeys& message) const {
    return fieldsRoot_ < 0 || evalMessage(fieldsRoot_, message);
}

bool FilterExpression::usesMessageCall() const {
    return std::any_of(nodes_.begin(), nodes_.end(), [](const Node& n) {
        return n.shape == Node::Shape::Test && n.subject == Node::Subject::Message && n.messageKey == MessageKeyId::Call;
    });
}

bool FilterExpression::matchesCall(const Call& call) const { return callRoot_ < 0 || evalCall(callRoot_, call); }
bool FilterExpression::matchesJourney(const JourneyKeys& journey) const {
    return journeyRoot_ < 0 || evalJourney(journeyRoot_, journey);
}

bool FilterExpression::evalMessage(int index, const MessageKeys& message) const {
    const Node& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.shape) {
        case Node::Shape::And: return evalMessage(n.left, message) && evalMessage(n.right, message);
        case Node::Shape::Or: return evalMessage(n.left, message) || evalMessage(n.right, message);
        case Node::Shape::Not: return !evalMessage(n.left, message);
        case Node::Shape::Test: break;
    }
    const RecordFacts& r = message.record;
    const bool present = n.op == Op::Present;
    const auto number = [&](bool has, std::uint64_t v) { return testNumber(n, has, v); };
    const auto text = [&](bool has, std::string_view v) { return testText(n, patterns_, has, v); };
    if (n.subject == Subject::Message) {
        switch (n.messageKey) {
            case MessageKeyId::Record: return number(true, r.record);
            case MessageKeyId::Line: return number(true, r.logLine);
            case MessageKeyId::Time: return testSigned(n, millisecondsOfDay(r.time));
            case MessageKeyId::Direction: return text(!r.directionText.empty(), r.directionText);
            case MessageKeyId::Cic: return number(r.hasCallInstanceCode, r.callInstanceCode);
            case MessageKeyId::Type:
            case MessageKeyId::Code: return number(r.typeCode >= 0, static_cast<std::uint64_t>(r.typeCode));
            case MessageKeyId::Decoded: return r.decoded;
            case MessageKeyId::Reason: return text(!r.reason.empty(), r.reason);
            case MessageKeyId::Failure: return text(!r.decoded, r.decoded ? std::string_view{} : failureName(r.failure));
            case MessageKeyId::Switch: return text(!message.switchName.empty(), message.switchName);
            case MessageKeyId::Call: return number(message.callFirstRecord != 0, message.callFirstRecord);
            case MessageKeyId::Opc: return number(r.wire.pointCodesKnown, r.wire.opc);
            case MessageKeyId::Dpc: return number(r.wire.pointCodesKnown, r.wire.dpc);
            case MessageKeyId::Sls: return number(r.wire.pointCodesKnown, r.wire.sls);
            case MessageKeyId::Ni: return number(r.wire.pointCodesKnown, r.wire.ni);
            case MessageKeyId::Si: return number(r.wire.captured, r.wire.si);
            case MessageKeyId::Packet: return number(r.wire.captured, r.wire.packet);
            case MessageKeyId::PacketTime: {
                if (!r.wire.captured) return text(false, {});
                thread_local std::string stamp;
                stamp.clear();
                appendWireTimestamp(stamp, r.wire);
                return text(true, stamp);
            }
        }
        return false;
    }
    const std::span<const FieldFact> fields = message.fields != nullptr ? message.fields->fields() : std::span<const FieldFact>{};
    if (n.subject == Subject::Parameter) {
        if (message.fields == nullptr) return false;
        const std::span<const BlockFact> blocks = message.fields->blocks();
        return std::any_of(blocks.begin(), blocks.end(), [&](const BlockFact& b) { return b.code == n.parameterCode; });
    }
    if (n.subject != Subject::Field) return false;  // call keys are not asked of a message
    // A field: any occurrence that passes.
    bool found = false;
    for (const FieldFact& f : fields) {
        if (f.ref.parameterCode != n.ref.parameterCode || f.ref.key != n.ref.key) continue;
        if (present) return true;
        bool hit = false;
        const Op op = turned(n) ? Op::Eq : n.op;
        if (n.kind == Kind::Number) {
            if (!f.isNumber()) continue;
            hit = op == Op::Eq ? f.number == n.number : compareNumber(n, f.number);
        } else {
            const std::string_view v = n.printedText                       ? f.printed
                                       : n.fieldType == FieldType::Digits && f.hasNumber ? f.digits()
                                                                          : f.valueText();
            hit = op == Op::Eq ? v == n.text : compareText(n, patterns_, v);
        }
        if (hit) {
            found = true;
            break;
        }
    }
    return turned(n) ? !found : found;
}

bool FilterExpression::evalCall(int index, const Call& call) const {
    const Node& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.shape) {
        case Node::Shape::And: return evalCall(n.left, call) && evalCall(n.right, call);
        case Node::Shape::Or: return evalCall(n.left, call) || evalCall(n.right, call);
        case Node::Shape::Not: return !evalCall(n.left, call);
        case Node::Shape::Test: break;
    }
    const auto number = [&](bool has, std::uint64_t v) { return testNumber(n, has, v); };
    const auto text = [&](bool has, std::string_view v) { return testText(n, patterns_, has, v); };
    const auto moment = [&](std::optional<std::int64_t> v) { return testSigned(n, v); };
    switch (n.subject) {
        case Subject::CallOutcome: return text(true, outcomeName(call.outcome));
        case Subject::CallCause: return number(call.cause.has_value(), call.cause.value_or(0));
        case Subject::CallCalling: return text(!call.calling.empty(), call.calling);
        case Subject::CallCalled: return text(!call.called.empty(), call.called);
        case Subject::CallCic: return number(true, call.callInstanceCode);
        case Subject::CallStart: return moment(millisecondsOfDay(call.first.time));
        case Subject::CallSetup: return moment(call.setupTime());
        case Subject::CallAnswer: return moment(call.answerDelay());
        case Subject::CallTalk: return moment(call.conversationTime());
        case Subject::CallReleasedBy: return text(!call.releasedBy.empty(), call.releasedBy);
        case Subject::CallMessages: return number(true, call.messages);
        default: return true;
    }
}

bool FilterExpression::evalJourney(int index, const JourneyKeys& journey) const {
    const Node& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.shape) {
        case Node::Shape::And: return evalJourney(n.left, journey) && evalJourney(n.right, journey);
        case Node::Shape::Or: return evalJourney(n.left, journey) || evalJourney(n.right, journey);
        case Node::Shape::Not: return !evalJourney(n.left, journey);
        case Node::Shape::Test: break;
    }
    const auto text = [&](bool has, std::string_view v) { return testText(n, patterns_, has, v); };
    switch (n.subject) {
        case Subject::JourneyOutcome: return text(true, journey.outcome);
        case Subject::JourneyLegs: return testNumber(n, true, journey.legs);
        case Subject::JourneyReleasedAt: return text(!journey.releasedAt.empty(), journey.releasedAt);
        case Subject::JourneySetup: return testSigned(n, journey.setup);
        case Subject::JourneyCause: return testNumber(n, journey.cause.has_value(), journey.cause.value_or(0));
        default: return true;
    }
}

}  // namespace truno
