#pragma once
// Indicator parameters read octet by octet (forward and backward call indicators): each field
// sits in one octet's 8-character bit string (character 1 = bit 8, character 8 = bit 1) and is
// printed as one level-2 line from its value table.
#include "core/FieldTable.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace truno {

struct OctetFieldLine {
    std::string_view label;
    std::size_t octet;  // 1 or 2
    int first;          // first character in the octet's bit string
    int length;
    std::span<const Phrase> table;
};

// Heading + CR LF, then one line per field, in table order. Both octets are converted before
// anything is appended, so contents short of two octets throw DecodeError with `out` untouched.
// Every table of these parameters is complete, so the fallback never shows.
inline void appendTwoOctetIndicators(Text& out, std::string_view heading,
                                     std::string_view contents,
                                     std::span<const OctetFieldLine> fields) {
    const std::uint8_t octets[2] = {contentOctet(contents, 1), contentOctet(contents, 2)};
    lineOf(out, heading);
    for (const OctetFieldLine& f : fields)
        fieldLineL2(out, f.label, f.table, cutOctet(octets[f.octet - 1], f.first, f.length),
                    kFallbackBits);
}

}  // namespace truno
