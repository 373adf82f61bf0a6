// Pivot routing indicators (code 7C), Q.763 3.85.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits G F E D C B A; unlisted values show as their decimal value and ", spare".
constexpr Phrase kPivotRouting[] = {
    {"0000000", "0, no indication"},
    {"0000001", "1, pivot request"},
    {"0000010", "2, cancel pivot request"},
    {"0000011", "3, pivot request failure"},
    {"0000100", "4, interworking to redirection prohibited (backward)"},
};

constexpr BitField kLines[] = {
    {.key = "pivot_routing", .label = "Pivot routing indicators", .octet = kLastOctet, .bits = {7, 1},
     .table = kPivotRouting, .fallback = servicecommon::kFallbackDecimalSpareNoStop},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"PIVOT ROUTING INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void PivotRoutingIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void PivotRoutingIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
