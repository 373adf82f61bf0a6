#include "analysis/filters/ShorthandFilters.h"

#include "dispatch/MessageTypes.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace truno {
namespace {

// A decimal number that fills `text`, not larger than `max`.
bool readNumber(std::string_view text, std::uint64_t max, std::uint64_t& value) {
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size() && value <= max;
}

// Calls `each` with the items of a comma-separated list; false as soon as it returns false or
// an item is empty.
template <typename Each>
bool forEachItem(std::string_view text, Each each) {
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        if (item.empty() || !each(item)) return false;
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

void compileShorthand(const ShorthandFilters& given, std::vector<FilterExpression>& where) {
    const auto add = [&where](const std::string& text) {
        FilterExpression expression;
        FilterError error;
        // The texts are made here from numbers that were read: one that does not compile is a
        // fault of this function, not of what was given.
        if (!expression.compile(text, error)) throw std::logic_error("shorthand filter: " + describeFilterError(text, error));
        where.push_back(std::move(expression));
    };
    const auto range = [](std::string& text, std::uint64_t first, std::uint64_t last) {
        text += ' ' + std::to_string(first) + ".." + std::to_string(last);
    };
    if (!given.codes.empty()) {
        std::string text = "cic in {";
        for (const CodeRange& r : given.codes) range(text, r.first, r.last);
        add(text + " }");
    }
    if (given.types.any()) {
        std::string text = "type in {";
        for (std::size_t code = 0; code < given.types.size(); ++code)
            if (given.types.test(code)) text += ' ' + std::to_string(code);
        add(text + " }");
    }
    if (!given.records.empty()) {
        std::string text = "record in {";
        for (const RecordRange& r : given.records) range(text, r.first, r.last);
        add(text + " }");
    }
    if (given.notDecoded) add("not decoded");
    if (given.call != 0) add("call == " + std::to_string(given.call));
}

bool parseCodeList(std::string_view text, std::vector<CodeRange>& codes, std::string& error) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    const bool ok = forEachItem(text, [&](std::string_view item) {
        const std::size_t dash = item.find('-');
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        if (!readNumber(item.substr(0, dash), kMax, first)) return false;
        last = first;
        if (dash != std::string_view::npos && !readNumber(item.substr(dash + 1), kMax, last)) return false;
        if (last < first) return false;
        codes.push_back({.first = static_cast<std::uint32_t>(first), .last = static_cast<std::uint32_t>(last)});
        return true;
    });
    if (!ok) error = "invalid call instance code list '" + std::string(text) + "' (expected numbers and ranges such as 1,5,10-20)";
    return ok;
}

bool parseTypeList(std::string_view text, std::bitset<256>& types, std::string& error) {
    std::string upper;
    std::string_view unknown;
    const bool ok = forEachItem(text, [&](std::string_view item) {
        upper.assign(item);
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
        for (const MessageType& type : messageTypes()) {
            if (type.acronym == upper) {
                types.set(type.code);
                return true;
            }
        }
        unknown = item;
        return false;
    });
    if (!ok) {
        error = unknown.empty() ? "invalid message type list '" + std::string(text) + "'"
                                : "unknown message type '" + std::string(unknown) + "'";
        error += " (known types:";
        for (const MessageType& type : messageTypes()) {
            error += ' ';
            error += type.acronym;
        }
        error += ')';
    }
    return ok;
}

bool parseRecordRange(std::string_view text, std::uint64_t& first, std::uint64_t& last, std::string& error) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const std::size_t dash = text.find('-');
    bool ok = false;
    if (dash == std::string_view::npos) {
        ok = readNumber(text, kMax, first);
        last = first;
    } else {
        const std::string_view from = text.substr(0, dash);
        const std::string_view to = text.substr(dash + 1);
        first = 1;
        last = kMax;
        ok = (!from.empty() || !to.empty()) && (from.empty() || readNumber(from, kMax, first)) &&
             (to.empty() || readNumber(to, kMax, last));
    }
    ok = ok && first >= 1 && first <= last;
    if (!ok) error = "invalid record range '" + std::string(text) + "' (expected N, N-M, N- or -M, from 1)";
    return ok;
}

}  // namespace truno
