#pragma once
// Pieces shared by the services decoders: the extension indicator line most of their octets end
// with, the single-line treatment indicators, and a fallback several fields use.
#include "base/FieldBlock.h"

#include <string_view>

namespace truno::servicecommon {

// Bit H of an octet: whether another octet of the parameter follows.
inline constexpr Phrase kExtensionIndicator[] = {
    {"0", "0, info continues in next octet"},
    {"1", "1, last octet"},
};

// Bit H of the last octet as a level-2 line. Only that one octet is decoded even when the
// bit announces another.
inline constexpr BitField kExtensionLine{
    .key = "extension", .label = "Extension Indicator", .octet = kLastOctet, .bits = {8, 8}, .table = kExtensionIndicator};

// An unlisted value shown as its decimal number and ", spare" without a full stop.
inline constexpr Fallback kFallbackDecimalSpareNoStop{Fallback::Kind::Decimal, ", spare"};

// A treatment indicator is a single line: its title dressed by dressLabel, then the phrase of
// bits B A of the last octet (all four patterns have a row). Only the table and whether the
// line ends with CR LF differ between the indicators.
constexpr BitField treatmentIndicatorLine(std::string_view key, std::string_view title, std::span<const Phrase> table) {
    return BitField{
        .key = key, .label = title, .level = LineLevel::L1, .octet = kLastOctet, .bits = {2, 1}, .table = table};
}

}  // namespace truno::servicecommon
