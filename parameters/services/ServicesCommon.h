#pragma once
// Pieces shared by the pivot routing, service flag, counter and location decoders: the
// extension indicator line most of their octets end with, and the reading of contents that
// are taken as one hexadecimal number of any length.
#include "parameters/services/ServicesCommon64.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace truno::servicecommon {

// Bit H of an octet: whether another octet of the parameter follows.
inline constexpr Phrase kExtensionIndicator[] = {
    {"0", "0, info continues in next octet"},
    {"1", "1, last octet"},
};

// Bit H of the last octet as a level-2 line. Only that one octet is decoded even when the
// bit announces another.
inline constexpr octetblock::FieldLine kExtensionLine{
    "Extension Indicator", octetblock::Level::L2, octetblock::kLastOctet, 1, 1,
    kExtensionIndicator, kFallbackBits};

// An unlisted value shown as its decimal number and ", spare" without a full stop.
inline constexpr Fallback kFallbackDecimalSpareNoStop{Fallback::Kind::Decimal, ", spare"};

// The contents read as one hexadecimal number, when it fits in 64 bits. std::nullopt when
// it does not: its exact decimal text then comes from hexToDecimalText, which also checks
// the digits this function did not convert. Throws DecodeError for empty contents or a
// non-hex digit among those it converts.
std::optional<std::uint64_t> contentsNumber(std::string_view contents);

// The contents read as one hexadecimal number, appended in decimal; exact for any length.
void appendContentsDecimal(Text& out, std::string_view contents);

}  // namespace truno::servicecommon
