#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void OriginationISCPointCod(std::string_view contents, Text& out) {
    titledRaw(out, "ORIGINATION ISC POINT CODE", contents);
}

}  // namespace truno
