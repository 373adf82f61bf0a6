#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A.
constexpr Phrase kIndicator[] = {
    {"00", "0, no indication"},
    {"01", "1, call transfer allowed"},
    {"10", "2, call transfer not allowed"},
    {"11", "3, spare"},
};

constexpr FieldLine kLines[] = {treatmentIndicatorLine("CALL TRANSFER TREATMENT INDICATOR", kIndicator)};

constexpr OctetBlock kBlock{"", kLines, Ending::LineEnd};

}  // namespace

void CallTransferTreatmentIndic(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
