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

constexpr FieldLine kLines[] = {
    {"MCID Response Indicator", LineLevel::L2, kLastOctet, 8, 1, kMcidResponse, kFallbackBits},
    {"Holding Provided Indicator", LineLevel::L2, kLastOctet, 7, 1, kHoldingProvided,
     kFallbackBits},
};

constexpr FieldBlock kBlock{"MCID RESPONSE INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void McidResponseIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
