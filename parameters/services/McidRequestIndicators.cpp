#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A.
constexpr Phrase kMcidRequest[] = {
    {"0", "0, MCID not requested"},
    {"1", "1, MCID requested"},
};

// Bit B.
constexpr Phrase kHoldingRequest[] = {
    {"0", "0, holding not requested"},
    {"1", "1, holding requested"},
};

constexpr FieldLine kLines[] = {
    {"MCID Request Indicator", LineLevel::L2, kLastOctet, 8, 1, kMcidRequest, kFallbackBits},
    {"Holding Indicator", LineLevel::L2, kLastOctet, 7, 1, kHoldingRequest, kFallbackBits},
};

constexpr FieldBlock kBlock{"MCID REQUEST INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void McidRequestIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
