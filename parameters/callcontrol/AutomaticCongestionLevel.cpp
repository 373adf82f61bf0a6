// Automatic congestion level (code 27), Q.763 3.3.
#include "parameters/callcontrol/CallControlDecoders.h"

#include "base/FieldBlock.h"

namespace truno {
namespace {

constexpr ValuePhrase kCongestionLevel[] = {
    {1, "1, Congestion Level 1 exceeded."},
    {2, "2, Congestion Level 2 exceeded."},
};

constexpr BitField kLevel{.key = "level", .label = "AUTOMATIC CONGESTION LEVEL", .level = LineLevel::L1,
                          .values = kCongestionLevel, .fallback = kFallbackDecimal};

}  // namespace

// The whole contents are one number. The parameter is one octet on the wire; longer contents
// still print their exact value. Leading zeros do not count, and a digit that does not convert
// is reported among the significant ones; empty contents fail as a missing octet.
void AutomaticCongestionLevel(std::string_view contents, Text& out) {
    const HexNumber level = readHexNumber(significantHexDigits(contents));
    dressField(out, kLevel);
    appendPhrase(out, kCongestionLevel, level, kFallbackDecimal);
    out += CRLF;
}

void AutomaticCongestionLevelFields(FieldList& list) { list.add(kLevel); }

}  // namespace truno
