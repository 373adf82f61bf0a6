#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

using namespace octetblock;

// Bit A: temporary alternative routing.
constexpr Phrase kTarIndicator[] = {
    {"0", "0, no indication"},
    {"1", "1, TAR controlled call"},
};

constexpr FieldLine kLines[] = {
    {"Temp. Altenative Routing indic", Level::L2, kLastOctet, 8, 1, kTarIndicator, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr OctetBlock kBlock{"NETWORK MANAGEMENT CONTROL:", kLines, Ending::None};

}  // namespace

void NetworkManagementControl(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
