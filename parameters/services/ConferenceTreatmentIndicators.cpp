// Conference treatment indicators (code 72), Q.763 3.75.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, accept conference request"},
    {"10", "2, reject conference request"},
    {"11", "3, spare"},
};

constexpr BitField kLines[] = {
    servicecommon::treatmentIndicatorLine("conference_acceptance", "CONFERENCE ACCEPTANCE INDICATOR", kIndicator),
};

// Unlike the other treatment indicators, this line carries no line end of its own.
constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void ConferenceTreatmentIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void ConferenceTreatmentIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
