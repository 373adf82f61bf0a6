#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A: temporary alternative routing.
constexpr Phrase kTarIndicator[] = {
    {"0", "0, no indication"},
    {"1", "1, TAR controlled call"},
};

constexpr FieldLine kLines[] = {
    {"Temp. Altenative Routing indic", LineLevel::L2, kLastOctet, 8, 1, kTarIndicator,
     kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"NETWORK MANAGEMENT CONTROL:", kLines, BlockEnding::None};

}  // namespace

void NetworkManagementControls(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
