// Call history information (code 2D), Q.763 3.6.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

namespace truno {

// The accumulated delay of the call's path: every digit of the contents takes part in one
// number, so longer contents give a larger (exact) number.
void CallHistoryInformation(std::string_view contents, Text& out) {
    const HexNumber delay = readHexNumber(contents);
    dressLabel(out, "CALL HISTORY INFORMATION");
    appendDecimal(out, delay);
    out += " milliseconds";
    out += CRLF;
}

}  // namespace truno
