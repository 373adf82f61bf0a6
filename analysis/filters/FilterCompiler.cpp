// Compiling a filter expression: its keys, the lexer, and the recursive-descent parser that builds
// the tree of nodes once.
#include "analysis/filters/FilterNode.h"

#include "analysis/facts/FieldCatalog.h"
#include "analysis/facts/LogClock.h"
#include "dispatch/FieldRegistry.h"
#include "dispatch/MessageTypes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>
#include <utility>

namespace truno {

using filternode::isCallSubject;
using filternode::Kind;
using filternode::Op;
using filternode::Subject;

namespace {

// The call's keys; the message's own are the field catalogue's (messageKeys()).
struct CallKeyRow {
    std::string_view name;
    Subject subject;
    Kind kind;
};

constexpr CallKeyRow kCallKeys[] = {
    {.name = "call.outcome", .subject = Subject::CallOutcome, .kind = Kind::Text},
    {.name = "call.cause", .subject = Subject::CallCause, .kind = Kind::Number},
    {.name = "call.calling", .subject = Subject::CallCalling, .kind = Kind::Text},
    {.name = "call.called", .subject = Subject::CallCalled, .kind = Kind::Text},
    {.name = "call.cic", .subject = Subject::CallCic, .kind = Kind::Number},
    {.name = "call.start", .subject = Subject::CallStart, .kind = Kind::Time},
    {.name = "call.setup", .subject = Subject::CallSetup, .kind = Kind::Duration},
    {.name = "call.answer", .subject = Subject::CallAnswer, .kind = Kind::Duration},
    {.name = "call.talk", .subject = Subject::CallTalk, .kind = Kind::Duration},
    {.name = "call.released_by", .subject = Subject::CallReleasedBy, .kind = Kind::Text},
    {.name = "call.messages", .subject = Subject::CallMessages, .kind = Kind::Number},
    {.name = "journey.outcome", .subject = Subject::JourneyOutcome, .kind = Kind::Text},
    {.name = "journey.legs", .subject = Subject::JourneyLegs, .kind = Kind::Number},
    {.name = "journey.released_at", .subject = Subject::JourneyReleasedAt, .kind = Kind::Text},
    {.name = "journey.setup", .subject = Subject::JourneySetup, .kind = Kind::Duration},
    {.name = "journey.cause", .subject = Subject::JourneyCause, .kind = Kind::Number},
};

Kind kindOf(KeyValue value) {
    switch (value) {
        case KeyValue::Number: return Kind::Number;
        case KeyValue::Text: return Kind::Text;
        case KeyValue::TimeOfDay: return Kind::Time;
        case KeyValue::Flag: return Kind::Flag;
    }
    return Kind::Number;
}

enum class Tok : std::uint8_t {
    End, Word, Number, String, LParen, RParen, LBrace, RBrace, DotDot, Comma, Eq, Ne, Lt, Le, Gt, Ge, Not, And, Or,
    Tilde, Bad,
};

struct Token {
    Tok kind = Tok::End;
    std::string_view text;  // as written (a string: its contents without the quotes, escapes kept)
    std::size_t column = 0;
};

bool isWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.' || c == '-';
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])) != 0) ++pos_;
        Token t;
        t.column = pos_;
        if (pos_ >= text_.size()) return t;
        const char c = text_[pos_];
        const auto two = [&](char second) { return pos_ + 1 < text_.size() && text_[pos_ + 1] == second; };
        const auto take = [&](Tok kind, std::size_t n) {
            t.kind = kind;
            t.text = text_.substr(pos_, n);
            pos_ += n;
            return t;
        };
        if (isWordStart(c)) {
            std::size_t end = pos_ + 1;
            // A word may hold dots and dashes ("cause_indicators.cause_value", "begun-before-log")
            // but not "..", which separates the ends of a range.
            while (end < text_.size() && isWordChar(text_[end]) &&
                   !(text_[end] == '.' && end + 1 < text_.size() && text_[end + 1] == '.'))
                ++end;
            return take(Tok::Word, end - pos_);
        }
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            std::size_t end = pos_ + 1;
            while (end < text_.size()) {
                const char d = text_[end];
                if (d == '.' && end + 1 < text_.size() && text_[end + 1] == '.') break;
                if (std::isalnum(static_cast<unsigned char>(d)) == 0 && d != '.' && d != ':') break;
                ++end;
            }
            return take(Tok::Number, end - pos_);
        }
        if (c == '"') {
            std::size_t end = pos_ + 1;
            while (end < text_.size() && text_[end] != '"') end += (text_[end] == '\\' && end + 1 < text_.size()) ? std::size_t{2} : std::size_t{1};
            if (end >= text_.size()) {
                t.kind = Tok::Bad;
                t.text = "unterminated string";
                return t;
            }
            t.kind = Tok::String;
            t.text = text_.substr(pos_ + 1, end - pos_ - 1);
            pos_ = end + 1;
            return t;
        }
        switch (c) {
            case '(': return take(Tok::LParen, 1);
            case ')': return take(Tok::RParen, 1);
            case '{': return take(Tok::LBrace, 1);
            case '}': return take(Tok::RBrace, 1);
            case ',': return take(Tok::Comma, 1);
            case '~': return take(Tok::Tilde, 1);
            case '.': if (two('.')) return take(Tok::DotDot, 2); break;
            case '=': if (two('=')) return take(Tok::Eq, 2); break;
            case '!': return two('=') ? take(Tok::Ne, 2) : take(Tok::Not, 1);
            case '<': return two('=') ? take(Tok::Le, 2) : take(Tok::Lt, 1);
            case '>': return two('=') ? take(Tok::Ge, 2) : take(Tok::Gt, 1);
            case '&': if (two('&')) return take(Tok::And, 2); break;
            case '|': if (two('|')) return take(Tok::Or, 2); break;
            default: break;
        }
        t.kind = Tok::Bad;
        t.text = c == '=' ? "a single '=' (compare with '==')" : "unexpected character";
        return t;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Edit distance of two short words, for "did you mean".
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string knownTypesText() {
    std::string out;
    for (const MessageType& type : messageTypes()) {
        if (!out.empty()) out += ' ';
        out += type.acronym;
    }
    return out;
}

// The parameter code of a parameter key ("redirection_information"), or -2.
int parameterCodeOf(std::string_view key) {
    for (const FieldEntry& field : allFields())
        if (field.ref.parameterCode >= 0 && parameterKey(field.ref.parameterCode) == key) return field.ref.parameterCode;
    return -2;
}

}  // namespace


std::vector<std::string> filterKeyNames() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> names;
        for (const MessageKey& key : messageKeys()) names.emplace_back(key.key);
        for (const CallKeyRow& row : kCallKeys) names.emplace_back(row.name);
        for (const FieldAlias& alias : fieldAliases()) names.emplace_back(alias.alias);
        for (const FieldEntry& field : allFields()) {
            names.push_back(field.key);
            if (field.ref.parameterCode >= 0) names.emplace_back(parameterKey(field.ref.parameterCode));
        }
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        return names;
    }();
    return all;
}

std::string describeFilterError(std::string_view expression, const FilterError& error) {
    std::string out = error.message;
    out += "\n  ";
    for (const char c : expression) out += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    out += "\n  ";
    out.append(std::min(error.column, expression.size()), ' ');
    out += '^';
    return out;
}

class FilterCompiler {
public:
    FilterCompiler(FilterExpression& out, std::string_view text) : out_(out), lexer_(text) { advance(); }

    bool compile(FilterError& error) {
        const std::optional<int> root = parseOr();
        if (!root) return fail(error);
        if (token_.kind != Tok::End) {
            if (token_.kind == Tok::RParen)
                setError("unbalanced parenthesis: ')' without '('", token_.column);
            else
                setError("expected 'and', 'or' or the end of the expression", token_.column);
            return fail(error);
        }
        // The top-level conditions joined by 'and' go to the calls, or to the messages: to those
        // on their own keys, or to those that read their fields.
        std::vector<int> conjuncts;
        splitAnd(*root, conjuncts);
        for (const int c : conjuncts) {
            Uses found;
            uses(c, found);
            if (found.call && found.message) {
                setError("a condition mixes call keys with message keys; join such conditions with 'and' at the top",
                         leftmostColumn(c));
                return fail(error);
            }
            if (found.journey && (found.call || found.message)) {
                setError("a condition mixes journey keys with other keys; join such conditions with 'and' at the top",
                         leftmostColumn(c));
                return fail(error);
            }
            int& root_ = found.journey ? out_.journeyRoot_
                         : found.call  ? out_.callRoot_
                         : found.fields ? out_.fieldsRoot_
                                        : out_.ownRoot_;
            root_ = root_ < 0 ? c : join(FilterExpression::Node::Shape::And, root_, c, 0);
        }
        return true;
    }

private:
    using Node = FilterExpression::Node;
    using Shape = Node::Shape;

    bool fail(FilterError& error) {
        error = error_;
        return false;
    }
    std::nullopt_t setError(std::string message, std::size_t column) {
        if (error_.message.empty()) {
            error_.message = std::move(message);
            error_.column = column;
        }
        return std::nullopt;
    }
    void advance() {
        token_ = lexer_.next();
        if (token_.kind == Tok::Bad) setError(std::string(token_.text), token_.column);
    }
    bool isWord(std::string_view w) const {
        if (token_.kind != Tok::Word || token_.text.size() != w.size()) return false;
        return std::equal(w.begin(), w.end(), token_.text.begin(),
                          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    }

    int add(Node node) {
        out_.nodes_.push_back(std::move(node));
        return static_cast<int>(out_.nodes_.size() - 1);
    }
    int join(Shape shape, int left, int right, std::size_t column) {
        Node n;
        n.shape = shape;
        n.left = left;
        n.right = right;
        n.column = column;
        return add(std::move(n));
    }
    void splitAnd(int node, std::vector<int>& into) const {
        const Node& n = out_.nodes_[static_cast<std::size_t>(node)];
        if (n.shape == Shape::And) {
            splitAnd(n.left, into);
            splitAnd(n.right, into);
        } else {
            into.push_back(node);
        }
    }
    std::size_t leftmostColumn(int node) const {
        while (out_.nodes_[static_cast<std::size_t>(node)].shape != Shape::Test) {
            const Node& n = out_.nodes_[static_cast<std::size_t>(node)];
            if (n.shape == Shape::Not) return n.column;
            node = n.left;
        }
        return out_.nodes_[static_cast<std::size_t>(node)].column;
    }
    // What the tests under a node name: call keys, message keys, and among those fields.
    struct Uses {
        bool call = false;
        bool message = false;
        bool fields = false;
        bool journey = false;
    };
    void uses(int node, Uses& found) const {
        const Node& n = out_.nodes_[static_cast<std::size_t>(node)];
        if (n.shape == Shape::Test) {
            (filternode::isJourneySubject(n.subject) ? found.journey
             : isCallSubject(n.subject)             ? found.call
                                                    : found.message) = true;
            found.fields = found.fields || n.subject == Subject::Field || n.subject == Subject::Parameter;
            return;
        }
        uses(n.left, found);
        if (n.right >= 0) uses(n.right, found);
    }

    // Operands joined by one operator, left to right: `or` of `and`s, `and` of unary terms.
    template <class Operand>
    std::optional<int> parseJoined(Shape shape, Tok symbol, std::string_view word, Operand operand) {
        std::optional<int> left = (this->*operand)();
        while (left && (token_.kind == symbol || isWord(word))) {
            const std::size_t column = token_.column;
            advance();
            const std::optional<int> right = (this->*operand)();
            if (!right) return std::nullopt;
            left = join(shape, *left, *right, column);
        }
        return left;
    }
    std::optional<int> parseOr() { return parseJoined(Shape::Or, Tok::Or, "or", &FilterCompiler::parseAnd); }
    std::optional<int> parseAnd() { return parseJoined(Shape::And, Tok::And, "and", &FilterCompiler::parseUnary); }
    std::optional<int> parseUnary() {
        if (++depth_ > kMaxDepth) return setError("expression nested too deeply", token_.column);
        std::optional<int> result;
        if (token_.kind == Tok::Not || isWord("not")) {
            const std::size_t column = token_.column;
            advance();
            const std::optional<int> inner = parseUnary();
            if (inner) result = join(Shape::Not, *inner, -1, column);
        } else {
            result = parsePrimary();
        }
        --depth_;
        return result;
    }
    std::optional<int> parsePrimary() {
        if (token_.kind == Tok::LParen) {
            const std::size_t open = token_.column;
            advance();
            std::optional<int> inner = parseOr();
            if (!inner) return std::nullopt;
            if (token_.kind != Tok::RParen)
                return setError("unbalanced parenthesis: '(' without ')'", token_.kind == Tok::End ? open : token_.column);
            advance();
            return inner;
        }
        if (token_.kind == Tok::End) return setError("expected a field key", token_.column);
        if (token_.kind != Tok::Word) {
            if (token_.kind == Tok::RParen) return setError("unbalanced parenthesis: ')' without '('", token_.column);
            return setError("expected a field key", token_.column);
        }
        Node test;
        test.column = token_.column;
        test.written = token_.text;
        if (!resolveKey(token_.text, test)) return std::nullopt;
        advance();
        return parseComparison(std::move(test));
    }

    // Fills the subject and kind of a key; false (error set) for a name that is no key.
    bool resolveKey(std::string_view name, Node& node) {
        if (const MessageKey* key = findMessageKey(name)) {
            node.subject = Subject::Message;
            node.messageKey = key->id;
            node.kind = kindOf(key->compared);
            return true;
        }
        for (const CallKeyRow& row : kCallKeys) {
            if (row.name == name) {
                node.subject = row.subject;
                node.kind = row.kind;
                return true;
            }
        }
        const std::string_view key = resolveAlias(name);
        if (const FieldEntry* field = findField(key)) {
            node.subject = Subject::Field;
            node.kind = Kind::Fields;
            node.ref = field->ref;
            node.fieldType = field->type;
            return true;
        }
        if (const int code = parameterCodeOf(name); code != -2) {
            node.subject = Subject::Parameter;
            node.kind = Kind::Flag;
            node.parameterCode = code;
            return true;
        }
        std::string message = "unknown field \"" + std::string(name) + "\"";
        std::string best;
        std::size_t bestDistance = std::max<std::size_t>(2, name.size() / 3) + 1;
        static const std::vector<std::string> names = filterKeyNames();
        for (const std::string& candidate : names) {
            const std::size_t d = distance(name, candidate);
            if (d < bestDistance) {
                bestDistance = d;
                best = candidate;
            }
        }
        if (!best.empty()) message += " (did you mean \"" + best + "\"?)";
        setError(std::move(message), token_.column);
        return false;
    }

    std::optional<int> parseComparison(Node test) {
        Op op = Op::Present;
        switch (token_.kind) {
            case Tok::Eq: op = Op::Eq; break;
            case Tok::Ne: op = Op::Ne; break;
            case Tok::Lt: op = Op::Lt; break;
            case Tok::Le: op = Op::Le; break;
            case Tok::Gt: op = Op::Gt; break;
            case Tok::Ge: op = Op::Ge; break;
            case Tok::Tilde: op = Op::Matches; break;
            case Tok::Word:
                if (isWord("contains")) op = Op::Contains;
                else if (isWord("matches")) op = Op::Matches;
                else if (isWord("in")) op = Op::In;
                else if (isWord("eq")) op = Op::Eq;
                else if (isWord("ne")) op = Op::Ne;
                else if (isWord("lt")) op = Op::Lt;
                else if (isWord("le")) op = Op::Le;
                else if (isWord("gt")) op = Op::Gt;
                else if (isWord("ge")) op = Op::Ge;
                break;
            default: break;
        }
        if (op == Op::Present) return add(std::move(test));
        const std::size_t opColumn = token_.column;
        advance();
        if (test.subject == Subject::Parameter || test.kind == Kind::Flag)
            return setError("\"" + keyName(test) + "\" is tested by itself (write it alone, or with 'not'), not compared",
                            opColumn);
        // Which way the field compares: a number field as a number unless its text is asked for.
        if (test.kind == Kind::Fields) {
            const bool numberField = test.fieldType == FieldType::Number;
            test.printedText = numberField && (op == Op::Contains || op == Op::Matches);
            test.kind = numberField && !test.printedText ? Kind::Number : Kind::Text;
        }
        if ((op == Op::Contains || op == Op::Matches) && test.kind != Kind::Text)
            return setError("'" + std::string(op == Op::Contains ? "contains" : "matches") + "' needs a key with text, and \"" +
                                keyName(test) + "\" is " + kindName(test.kind),
                            opColumn);
        test.op = op;
        if (op == Op::In) {
            if (token_.kind != Tok::LBrace) return setError("expected '{' after 'in'", token_.column);
            advance();
            bool any = false;
            while (token_.kind != Tok::RBrace) {
                if (token_.kind == Tok::Comma) {
                    advance();
                    continue;
                }
                if (token_.kind == Tok::End) return setError("unbalanced brace: '{' without '}'", token_.column);
                if (!setItem(test)) return std::nullopt;
                any = true;
            }
            if (!any) return setError("an empty set", token_.column);
            advance();
            return add(std::move(test));
        }
        if (op == Op::Matches) {
            if (token_.kind != Tok::String) return setError("expected a regular expression in quotes", token_.column);
            std::string pattern;
            unescape(token_.text, pattern);
#if defined(TRUNO_RE2)
            auto re = std::make_unique<re2::RE2>(pattern, re2::RE2::Quiet);
            if (!re->ok()) return setError("bad regular expression: " + re->error(), token_.column);
#else
            return setError("'matches' is not available in this build (it has no RE2)", token_.column);
            auto re = std::make_unique<re2::RE2>();
#endif
            test.pattern = static_cast<int>(out_.patterns_.size());
            out_.patterns_.push_back(std::move(re));
            advance();
            return add(std::move(test));
        }
        std::uint64_t number = 0;
        std::int64_t signedNumber = 0;
        if (!readValue(test, test.text, number, signedNumber)) return std::nullopt;
        test.number = number;
        test.signedNumber = signedNumber;
        advance();
        return add(std::move(test));
    }

    // One item of a set: a value or a range of two.
    bool setItem(Node& test) {
        std::string text;
        std::uint64_t low = 0;
        std::int64_t signedLow = 0;
        if (!readValue(test, text, low, signedLow)) return false;
        advance();
        std::uint64_t high = low;
        std::int64_t signedHigh = signedLow;
        if (token_.kind == Tok::DotDot) {
            const std::size_t column = token_.column;
            if (test.kind == Kind::Text) {
                setError("a range needs numbers or times", column);
                return false;
            }
            advance();
            std::string ignored;
            if (!readValue(test, ignored, high, signedHigh)) return false;
            advance();
            if (high < low || signedHigh < signedLow) {
                setError("a range whose end is before its start", column);
                return false;
            }
        }
        if (test.kind == Kind::Text)
            test.texts.push_back(std::move(text));
        else if (test.kind == Kind::Number)
            test.ranges.emplace_back(low, high);
        else
            test.signedRanges.emplace_back(signedLow, signedHigh);
        return true;
    }

    // Reads the value token for the test's kind; does not advance.
    bool readValue(const Node& test, std::string& text, std::uint64_t& number, std::int64_t& signedNumber) {
        const Token value = token_;
        if (value.kind != Tok::Number && value.kind != Tok::String && value.kind != Tok::Word) {
            setError("expected a value", value.column);
            return false;
        }
        std::string literal;
        if (value.kind == Tok::String)
            unescape(value.text, literal);
        else
            literal = value.text;
        switch (test.kind) {
            case Kind::Text: text = std::move(literal); return true;
            case Kind::Number:
                if (test.subject == Subject::Message && test.messageKey == MessageKeyId::Type && value.kind == Tok::Word) {
                    for (const MessageType& type : messageTypes()) {
                        if (std::equal(type.acronym.begin(), type.acronym.end(), literal.begin(), literal.end(),
                                       [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); })) {
                            number = type.code;
                            return true;
                        }
                    }
                    setError("unknown message type \"" + literal + "\" (known types: " + knownTypesText() + ")",
                             value.column);
                    return false;
                }
                if (readNumber(literal, number)) return true;
                setError("type mismatch: \"" + keyName(test) + "\" is a number, and " + quoted(value) + " is not",
                         value.column);
                return false;
            case Kind::Time: {
                const std::optional<std::int64_t> ms = millisecondsOfDay(literal);
                if (ms) {
                    signedNumber = *ms;
                    return true;
                }
                setError("type mismatch: \"" + keyName(test) + "\" is a time of day, and " + quoted(value) +
                             " is not one (HH:MM:SS or HH:MM:SS.fff)",
                         value.column);
                return false;
            }
            case Kind::Duration:
                if (readSeconds(literal, signedNumber)) return true;
                setError("type mismatch: \"" + keyName(test) + "\" is a duration in seconds, and " + quoted(value) +
                             " is not one",
                         value.column);
                return false;
            case Kind::Flag:
            case Kind::Fields: break;
        }
        setError("expected a value", value.column);
        return false;
    }

    static std::string quoted(const Token& token) {
        if (token.kind != Tok::String) return std::string(token.text);
        std::string text(1, '"');
        text += token.text;
        text += '"';
        return text;
    }

    static bool readNumber(std::string_view text, std::uint64_t& value) {
        int base = 10;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            text.remove_prefix(2);
            base = 16;
        }
        if (text.empty()) return false;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
        return result.ec == std::errc{} && result.ptr == text.data() + text.size();
    }

    // Seconds with up to three decimals ("5", "2.5"), an optional trailing 's'.
    static bool readSeconds(std::string_view text, std::int64_t& milliseconds) {
        if (!text.empty() && text.back() == 's') text.remove_suffix(1);
        const std::size_t point = text.find('.');
        std::uint64_t whole = 0;
        const std::string_view wholeText = text.substr(0, point);
        if (wholeText.empty() || !readDecimal(wholeText, whole) || whole > 1'000'000'000) return false;
        std::int64_t fraction = 0;
        if (point != std::string_view::npos) {
            const std::string_view digits = text.substr(point + 1);
            if (digits.empty() || digits.size() > 3) return false;
            std::uint64_t f = 0;
            if (!readDecimal(digits, f)) return false;
            fraction = static_cast<std::int64_t>(f);
            for (std::size_t i = digits.size(); i < 3; ++i) fraction *= 10;
        }
        milliseconds = static_cast<std::int64_t>(whole) * 1000 + fraction;
        return true;
    }
    static bool readDecimal(std::string_view text, std::uint64_t& value) {
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        return result.ec == std::errc{} && result.ptr == text.data() + text.size();
    }

    static void unescape(std::string_view text, std::string& out) {
        out.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            // \" and \\ stand for themselves; any other escape is kept for the regular expression.
            if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) ++i;
            out += text[i];
        }
    }

    // The key as the expression writes it (every test is made from a written key).
    static std::string keyName(const Node& node) { return std::string(node.written); }
    static std::string kindName(Kind kind) {
        switch (kind) {
            case Kind::Number: return "a number";
            case Kind::Time: return "a time of day";
            case Kind::Duration: return "a duration";
            default: return "a flag";
        }
    }

    static constexpr int kMaxDepth = 200;
    FilterExpression& out_;
    Lexer lexer_;
    Token token_;
    FilterError error_;
    int depth_ = 0;
};

FilterExpression::FilterExpression() = default;
FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression&&) noexcept = default;
FilterExpression& FilterExpression::operator=(FilterExpression&&) noexcept = default;

bool FilterExpression::compile(std::string_view text, FilterError& error) {
    text_ = text;
    nodes_.clear();
    patterns_.clear();
    ownRoot_ = -1;
    fieldsRoot_ = -1;
    callRoot_ = -1;
    journeyRoot_ = -1;
    FilterCompiler compiler(*this, text);
    if (compiler.compile(error)) return true;
    nodes_.clear();
    patterns_.clear();
    ownRoot_ = -1;
    fieldsRoot_ = -1;
    callRoot_ = -1;
    journeyRoot_ = -1;
    return false;
}

}  // namespace truno
