// UID capability indicators (code 75), Q.763 3.78.
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

constexpr BitField kLines[] = {
    {.key = "through_connection", .label = "Through-connection indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kThroughConnection},
    {.key = "t9_timer", .label = "T9 timer indicator", .octet = kLastOctet, .bits = {2, 2}, .table = kT9Capability},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"UID CAPABILITY INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void UidCapabilityIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void UidCapabilityIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
