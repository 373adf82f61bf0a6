#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

using namespace octetblock;

// Bit A.
constexpr Phrase kThroughConnectInstruction[] = {
    {"0", "0, no indication"},
    {"1", "1, through-connect in both directions"},
};

// Bit B.
constexpr Phrase kT9Instruction[] = {
    {"0", "0, no indication"},
    {"1", "1, stop or do not start T9 timer"},
};

constexpr FieldLine kLines[] = {
    {"Through-connect instruction indic", Level::L2, kLastOctet, 8, 1, kThroughConnectInstruction,
     kFallbackBits},
    {"T9 timer instruction indicator", Level::L2, kLastOctet, 7, 1, kT9Instruction, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr OctetBlock kBlock{"UID ACTION INDICATORS:", kLines, Ending::None};

}  // namespace

void UIDActionIndicator(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
