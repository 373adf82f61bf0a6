#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcssCall[] = {
    {"0", "0, no indication."},
    {"1", "1, CCSS call."},
};

constexpr FieldLine kLines[] = {
    {"CCSS CALL INDICATOR", Level::L1, kLastOctet, 8, 1, kCcssCall, kFallbackBits},
};

constexpr OctetBlock kBlock{"", kLines, Ending::None};

}  // namespace

void CCS(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
