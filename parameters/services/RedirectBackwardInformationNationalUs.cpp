#include "parameters/services/ServiceDecoders.h"

namespace truno {

// Shown without interpretation: title, then the contents' hex digits as received.
void RedirectBackwardInformationNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "RedirectBackwardInformationNationalUse", contents);
}

}  // namespace truno
