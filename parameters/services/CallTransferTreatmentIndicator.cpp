// Call transfer treatment indicator (code F7), a national parameter with no ITU-T clause.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, call transfer allowed"},
    {"10", "2, call transfer not allowed"},
    {"11", "3, spare"},
};

constexpr BitField kLines[] = {
    servicecommon::treatmentIndicatorLine("call_transfer_treatment", "CALL TRANSFER TREATMENT INDICATOR", kIndicator),
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void CallTransferTreatmentIndicator(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CallTransferTreatmentIndicatorFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
