// MCID response indicators (code 3C), Q.763 3.32.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A.
constexpr Phrase kMcidResponse[] = {
    {"0", "0, MCID not included"},
    {"1", "1, MCID included"},
};

// Bit B.
constexpr Phrase kHoldingProvided[] = {
    {"0", "0, holding not provided"},
    {"1", "1, holding provided"},
};

constexpr BitField kLines[] = {
    {.key = "mcid_response", .label = "MCID Response Indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kMcidResponse},
    {.key = "holding_provided", .label = "Holding Provided Indicator", .octet = kLastOctet, .bits = {2, 2},
     .table = kHoldingProvided},
};

constexpr FieldBlock kBlock{"MCID RESPONSE INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void McidResponseIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void McidResponseIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
