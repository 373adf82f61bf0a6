#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits E D C B A: the number of redirections, 0 to 31, as a bare number; H G F are not shown.
constexpr FieldLine kLines[] = {
    {"Number of redirections", Level::L2, kLastOctet, 4, 5, {}, kFallbackDecimal},
};

constexpr OctetBlock kBlock{"PIVOT COUNTER:", kLines, Ending::LineEnd};

}  // namespace

void PivotCounte(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
