#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcssCall[] = {
    {"0", "0, no indication."},
    {"1", "1, CCSS call."},
};

constexpr FieldLine kLines[] = {
    {"CCSS CALL INDICATOR", LineLevel::L1, kLastOctet, 8, 1, kCcssCall, kFallbackBits},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void Ccss(std::string_view contents, Text& out) { appendFieldBlock(out, contents, kBlock); }

}  // namespace truno
