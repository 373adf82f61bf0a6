#include "parameters/services/ServicesCommon.h"

#include "core/Conversions.h"

namespace truno::servicecommon {

std::optional<std::uint64_t> contentsNumber(std::string_view contents) {
    if (contents.size() <= 16) return HextoDec(contents);  // empty contents throw here
    // Leading zero digits add nothing to the value; only the significant ones must fit.
    const std::size_t significant = contents.find_first_not_of('0');
    if (significant == std::string_view::npos) return 0;
    const std::string_view digits = contents.substr(significant);
    if (digits.size() > 16) return std::nullopt;
    return HextoDec(digits);
}

void appendContentsDecimal(Text& out, std::string_view contents) {
    if (const auto value = contentsNumber(contents))
        appendDecimal(out, *value);
    else
        out += hexToDecimalText(contents);
}

}  // namespace truno::servicecommon
