#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void SignallingPointCodeNatUse(std::string_view contents, Text& out) {
    titledRaw(out, "SignallingPointCodeNationalUse", contents);
}

}  // namespace truno
