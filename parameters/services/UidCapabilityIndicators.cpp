#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A.
constexpr Phrase kThroughConnection[] = {
    {"0", "0, no indication"},
    {"1", "1, through-connect modification possible"},
};

// Bit B.
constexpr Phrase kT9Capability[] = {
    {"0", "0, no indication"},
    {"1", "1, stopping of T9 timer possible"},
};

constexpr FieldLine kLines[] = {
    {"Through-connection indicator", LineLevel::L2, kLastOctet, 8, 1, kThroughConnection,
     kFallbackBits},
    {"T9 timer indicator", LineLevel::L2, kLastOctet, 7, 1, kT9Capability, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"UID CAPABILITY INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void UidCapabilityIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
