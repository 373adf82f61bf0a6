// Call diversion treatment indicators (code 6E), Q.763 3.71.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, call diversion allowed"},
    {"10", "2, call diversion not allowed"},
    {"11", "3, spare"},
};

constexpr BitField kLines[] = {
    servicecommon::treatmentIndicatorLine("call_diversion_treatment", "CALL DIVERSION TREATMENT INDICATOR", kIndicator),
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void CallDiversionTreatmentIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CallDiversionTreatmentIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
