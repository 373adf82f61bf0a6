// Pivot counter (code 87), Q.763 3.93.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits E D C B A: the number of redirections, 0 to 31, as a bare number; H G F are not shown.
constexpr BitField kLines[] = {
    {.key = "number_of_redirections", .label = "Number of redirections", .octet = kLastOctet, .bits = {5, 1},
     .fallback = kFallbackDecimal},
};

constexpr FieldBlock kBlock{"PIVOT COUNTER:", kLines, BlockEnding::LineEnd};

}  // namespace

void PivotCounter(std::string_view contents, Text& out) { appendFieldBlock(out, contents, kBlock); }

void PivotCounterFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
