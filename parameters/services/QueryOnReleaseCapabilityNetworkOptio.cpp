#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

using namespace octetblock;

// Bit A.
constexpr Phrase kQorCapability[] = {
    {"0", "0, no indication"},
    {"1", "1, QoR support"},
};

constexpr FieldLine kLines[] = {
    {"QoR capability indicator", Level::L2, kLastOctet, 8, 1, kQorCapability, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr OctetBlock kBlock{"QUERY ON RELEASE CAPABILITY:", kLines, Ending::None};

}  // namespace

void QueryOnReleaseCapabilityNetworkOptio(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
