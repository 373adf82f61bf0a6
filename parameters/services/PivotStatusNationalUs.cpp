#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A.
constexpr Phrase kPivotStatus[] = {
    {"00", "0, no indication"},
    {"01", "1, acknowledgement of pivot routing"},
    {"10", "2, pivot routing will not be invoked"},
    {"11", "3, spare"},
};

// Bits G to C are not shown.
constexpr FieldLine kLines[] = {
    {"Pivot status indicator", Level::L2, kLastOctet, 7, 2, kPivotStatus, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr OctetBlock kBlock{"PIVOT STATUS (NATIONAL USE):", kLines, Ending::None};

}  // namespace

void PivotStatusNationalUs(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
