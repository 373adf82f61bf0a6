#include "parameters/callcontrol/CallControlDecoders.h"

#include "core/Conversions.h"
#include "core/FieldTable.h"

namespace truno {
namespace {

constexpr ValuePhrase kCongestionLevel[] = {
    {1, "1, Congestion Level 1 exceeded."},
    {2, "2, Congestion Level 2 exceeded."},
};

// Hex digits in one 64-bit number.
constexpr std::size_t kMaxWordDigits = 16;

}  // namespace

// The whole contents are one number. The parameter is one octet on the wire; longer contents
// still print their exact value, converted digit by digit once they exceed 64 bits.
void AutomaticCongLevel(std::string_view contents, Text& out) {
    const std::size_t firstSignificant = contents.find_first_not_of('0');
    const std::string_view significant =
        firstSignificant == std::string_view::npos ? std::string_view{}
                                                   : contents.substr(firstSignificant);
    if (significant.size() > kMaxWordDigits) {
        const std::string level = hexToDecimalText(significant);
        DressData(out, "AUTOMATIC CONGESTION LEVEL");
        out += level;
        out += CRLF;
        return;
    }
    // All-zero contents are level 0; empty contents fail here as a missing octet.
    const std::uint64_t level = HextoDec(significant.empty() ? contents : significant);
    DressData(out, "AUTOMATIC CONGESTION LEVEL");
    appendPhrase(out, kCongestionLevel, Field{level, 0}, kFallbackDecimal);
    out += CRLF;
}

}  // namespace truno
