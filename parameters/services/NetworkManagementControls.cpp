// Network management controls (code 5B), Q.763 3.68.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A: temporary alternative routing.
constexpr Phrase kTarIndicator[] = {
    {"0", "0, no indication"},
    {"1", "1, TAR controlled call"},
};

constexpr BitField kLines[] = {
    {.key = "temporary_alternative_routing", .label = "Temp. Altenative Routing indic", .octet = kLastOctet, .bits = {1, 1},
     .table = kTarIndicator},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"NETWORK MANAGEMENT CONTROL:", kLines, BlockEnding::None};

}  // namespace

void NetworkManagementControls(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void NetworkManagementControlsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
