#include "analysis/filters/MessageFilter.h"

#include "dispatch/MessageTypes.h"

#include <algorithm>
#include <cctype>
#include <charconv>

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

bool MessageFilter::active() const {
    return !codes.empty() || types.any() || firstRecord != 1 ||
           lastRecord != std::numeric_limits<std::uint64_t>::max() || notDecodedOnly || call != 0;
}

bool MessageFilter::accepts(const RecordFacts& record, std::uint64_t callFirstRecord) const {
    if (record.record < firstRecord || record.record > lastRecord) return false;
    if (notDecodedOnly && record.decoded) return false;
    if (call != 0 && callFirstRecord != call) return false;
    if (types.any() && (record.typeCode < 0 || !types.test(static_cast<std::size_t>(record.typeCode)))) return false;
    if (!codes.empty()) {
        if (!record.hasCallInstanceCode) return false;
        const std::uint32_t code = record.callInstanceCode;
        return std::any_of(codes.begin(), codes.end(),
                           [code](const CodeRange& r) { return code >= r.first && code <= r.last; });
    }
    return true;
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
