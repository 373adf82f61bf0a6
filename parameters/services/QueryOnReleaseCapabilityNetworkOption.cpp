#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A.
constexpr Phrase kQorCapability[] = {
    {"0", "0, no indication"},
    {"1", "1, QoR support"},
};

constexpr FieldLine kLines[] = {
    {"QoR capability indicator", LineLevel::L2, kLastOctet, 8, 1, kQorCapability, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"QUERY ON RELEASE CAPABILITY:", kLines, BlockEnding::None};

}  // namespace

void QueryOnReleaseCapabilityNetworkOption(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
