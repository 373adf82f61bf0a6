#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A. Here 01 forbids and 10 allows, the reverse of the diversion and transfer indicators.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, call offering not allowed"},
    {"10", "2, call offering allowed"},
    {"11", "3, spare"},
};

constexpr FieldLine kLines[] = {treatmentIndicatorLine("CALL TO BE OFFERED INDICATOR", kIndicator)};

constexpr OctetBlock kBlock{"", kLines, Ending::LineEnd};

}  // namespace

void CallOfferingTreatmentIndic(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
