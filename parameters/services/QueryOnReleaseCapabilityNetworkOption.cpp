// Query on release capability, network option (code 85), Q.763 3.91.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A.
constexpr Phrase kQorCapability[] = {
    {"0", "0, no indication"},
    {"1", "1, QoR support"},
};

constexpr BitField kLines[] = {
    {.key = "qor_capability", .label = "QoR capability indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kQorCapability},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"QUERY ON RELEASE CAPABILITY:", kLines, BlockEnding::None};

}  // namespace

void QueryOnReleaseCapabilityNetworkOption(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void QueryOnReleaseCapabilityNetworkOptionFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
