#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

// The accumulated delay of the call's path: every digit of the contents takes part in one
// number, so longer contents give a larger (exact) number.
void CallHistoryInformatio(std::string_view contents, Text& out) {
    DressData(out, "CALL HISTORY INFORMATION");
    servicecommon::appendContentsDecimal(out, contents);
    out += " milliseconds";
    out += CRLF;
}

}  // namespace truno
