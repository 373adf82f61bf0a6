#pragma once
// Helpers shared by the element decoders of the encapsulated application information.
#include "core/Conversions.h"
#include "core/FieldTable.h"

namespace truno {

// The phrase for the value of the whole contents, or the value in decimal when no row has it.
// Leading zero octets do not count; a value beyond 64 bits has no row and is printed exactly.
inline void appendContentsPhrase(Text& out, std::span<const ValuePhrase> table,
                                 std::string_view contents) {
    const std::size_t significant = contents.find_first_not_of('0');
    const std::string_view digits =
        significant == std::string_view::npos
            ? contents.substr(contents.empty() ? 0 : contents.size() - 1)
            : contents.substr(significant);
    if (digits.size() <= 16)
        appendPhrase(out, table, Field{HextoDec(digits), 0}, kFallbackDecimal);
    else
        out += hexToDecimalText(digits);
}

}  // namespace truno
