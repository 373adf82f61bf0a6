#include "dispatch/DecodingState.h"

#include "base/Conversions.h"
#include "base/DecodeError.h"

namespace truno {
namespace {

[[noreturn]] void pastEnd(std::size_t i, std::size_t count, std::string_view what) {
    std::string why(what);
    why += ": octet index " + std::to_string(i) + " is past the last octet (the message has " +
           std::to_string(count) + " octet" + (count == 1 ? "" : "s") + ")";
    throw DecodeError(DecodeFailure::PastEnd, why);
}

}  // namespace

std::string_view DecodingState::octet(std::size_t i, std::string_view what) const {
    if (i >= MessageOctets.size()) pastEnd(i, MessageOctets.size(), what);
    return MessageOctets[i];
}

std::uint64_t DecodingState::anyOctetValue(std::size_t i, std::string_view what) const {
    const std::string_view digits = octet(i, what);
    try {
        return hexToDec(digits);
    } catch (const DecodeError& e) {
        throw DecodeError(e, std::string(what) + " (octet index " + std::to_string(i) + "): " + e.what());
    }
}

std::string_view DecodingState::joinedContents(std::size_t first, std::size_t count, std::string_view what) {
    if (count > 0 && (first >= MessageOctets.size() || count > MessageOctets.size() - first))
        pastEnd(first + count - 1, MessageOctets.size(), what);
    if (count == 0) return {};
    if (OctetsAdjacent) {
        const std::string_view last = MessageOctets[first + count - 1];
        const char* begin = MessageOctets[first].data();
        return {begin, static_cast<std::size_t>(last.data() + last.size() - begin)};
    }
    ContentsScratch.clear();
    for (std::size_t i = first; i < first + count; ++i) ContentsScratch += MessageOctets[i];
    return ContentsScratch;
}

std::string_view DecodingState::octetsFrom(std::size_t first) {
    if (first >= MessageOctets.size()) return {};
    const std::size_t count = MessageOctets.size() - first;
    if (OctetsAdjacent) return contentsOf(first, count, {});
    OptionalPartDigits.clear();
    for (std::size_t i = first; i < MessageOctets.size(); ++i) OptionalPartDigits += MessageOctets[i];
    return OptionalPartDigits;
}

}  // namespace truno
