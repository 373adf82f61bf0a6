// Call history information (code 2D), Q.763 3.6.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

namespace truno {

namespace {

constexpr BitField kDelayField{.key = "propagation_delay", .label = "CALL HISTORY INFORMATION", .level = LineLevel::L1};

}  // namespace

// The accumulated delay of the call's path: every digit of the contents takes part in one
// number, so longer contents give a larger (exact) number.
void CallHistoryInformation(std::string_view contents, Text& out) {
    const HexNumber delay = readHexNumber(contents);
    dressField(out, kDelayField);
    if (delay.value) out.setFieldNumber(*delay.value);
    appendDecimal(out, delay);
    out += " milliseconds";
    out += CRLF;
}

void CallHistoryInformationFields(FieldList& list) { list.add(kDelayField); }

}  // namespace truno
