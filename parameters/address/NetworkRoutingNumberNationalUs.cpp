#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void NetworkRoutingNumberNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "NETWORK ROUTING NUMBER", contents);
}

}  // namespace truno
