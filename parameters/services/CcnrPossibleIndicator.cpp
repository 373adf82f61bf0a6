// CCNR possible indicator (code 7A), Q.763 3.83.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcnrPossible[] = {
    {"0", "0, CCNR not possible."},
    {"1", "1, CCNR possible."},
};

constexpr BitField kLines[] = {
    {.key = "ccnr_possible", .label = "CCNR POSSIBLE INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kCcnrPossible},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void CcnrPossibleIndicator(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CcnrPossibleIndicatorFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
