// Backward GVNS (code 4D), Q.763 3.62.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A of the last octet; bits H to C are not shown.
constexpr Phrase kTerminatingAccess[] = {
    {"00", "0, no information."},
    {"01", "1, dedicated terminating access."},
    {"10", "2, switched terminating access."},
    {"11", "3, spare."},
};

constexpr BitField kLines[] = {
    {.key = "terminating_access", .label = "TERMINATING ACCESS INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {2, 1},
     .table = kTerminatingAccess},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void BackwardGvns(std::string_view contents, Text& out) { appendFieldBlock(out, contents, kBlock); }

void BackwardGvnsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
