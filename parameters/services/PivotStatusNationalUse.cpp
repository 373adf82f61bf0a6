// Pivot status, national use (code 86), Q.763 3.92.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A.
constexpr Phrase kPivotStatus[] = {
    {"00", "0, no indication"},
    {"01", "1, acknowledgement of pivot routing"},
    {"10", "2, pivot routing will not be invoked"},
    {"11", "3, spare"},
};

// Bits G to C are not shown.
constexpr BitField kLines[] = {
    {.key = "pivot_status", .label = "Pivot status indicator", .octet = kLastOctet, .bits = {2, 1}, .table = kPivotStatus},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"PIVOT STATUS (NATIONAL USE):", kLines, BlockEnding::None};

}  // namespace

void PivotStatusNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void PivotStatusNationalUseFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
