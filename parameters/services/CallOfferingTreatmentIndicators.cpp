// Call offering treatment indicators (code 70), Q.763 3.73.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A. Here 01 forbids and 10 allows, the reverse of the diversion and transfer indicators.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, call offering not allowed"},
    {"10", "2, call offering allowed"},
    {"11", "3, spare"},
};

constexpr BitField kLines[] = {
    servicecommon::treatmentIndicatorLine("call_to_be_offered", "CALL TO BE OFFERED INDICATOR", kIndicator),
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void CallOfferingTreatmentIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CallOfferingTreatmentIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
