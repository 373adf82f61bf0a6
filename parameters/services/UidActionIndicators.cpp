// UID action indicators (code 74), Q.763 3.77.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

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

constexpr BitField kLines[] = {
    {.key = "through_connection_instruction", .label = "Through-connect instruction indic", .octet = kLastOctet, .bits = {1, 1},
     .table = kThroughConnectInstruction},
    {.key = "t9_timer_instruction", .label = "T9 timer instruction indicator", .octet = kLastOctet, .bits = {2, 2},
     .table = kT9Instruction},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"UID ACTION INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void UidActionIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void UidActionIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
