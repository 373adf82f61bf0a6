#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, accept conference request"},
    {"10", "2, reject conference request"},
    {"11", "3, spare"},
};

constexpr FieldLine kLines[] = {treatmentIndicatorLine("CONFERENCE ACCEPTANCE INDICATOR", kIndicator)};

// Unlike the other treatment indicators, this line carries no line end of its own.
constexpr OctetBlock kBlock{"", kLines, Ending::None};

}  // namespace

void ConferenceTreatmentIndicator(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
