#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

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
    {"MCID Request Indicator", Level::L2, kLastOctet, 8, 1, kMcidRequest, kFallbackBits},
    {"Holding Indicator", Level::L2, kLastOctet, 7, 1, kHoldingRequest, kFallbackBits},
};

constexpr OctetBlock kBlock{"MCID REQUEST INDICATORS:", kLines, Ending::None};

}  // namespace

void MCIDRequestIndicator(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
