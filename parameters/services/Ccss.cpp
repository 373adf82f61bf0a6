// CCSS (code 4B), Q.763 3.63.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcssCall[] = {
    {"0", "0, no indication."},
    {"1", "1, CCSS call."},
};

constexpr BitField kLines[] = {
    {.key = "ccss_call", .label = "CCSS CALL INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kCcssCall},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void Ccss(std::string_view contents, Text& out) { appendFieldBlock(out, contents, kBlock); }

void CcssFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
