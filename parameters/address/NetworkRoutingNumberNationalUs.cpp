#include "parameters/address/AddressDecoders.h"

namespace truno {

void NetworkRoutingNumberNationalUs(std::string_view contents, Text& out) { placeholderDecoder("NetworkRoutingNumberNationalUs", contents, out); }

}  // namespace truno
