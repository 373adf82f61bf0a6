#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

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
    {"MCID Response Indicator", Level::L2, kLastOctet, 8, 1, kMcidResponse, kFallbackBits},
    {"Holding Provided Indicator", Level::L2, kLastOctet, 7, 1, kHoldingProvided, kFallbackBits},
};

constexpr OctetBlock kBlock{"MCID RESPONSE INDICATORS:", kLines, Ending::None};

}  // namespace

void MCIDResponseIndicator(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
