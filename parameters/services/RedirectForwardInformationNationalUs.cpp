#include "parameters/services/ServiceDecoders.h"

namespace truno {

// Shown without interpretation: title, then the contents' hex digits as received.
void RedirectForwardInformationNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "RedirectForwardInformationNationalUse", contents);
}

}  // namespace truno
