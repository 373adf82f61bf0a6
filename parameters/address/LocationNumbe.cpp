#include "parameters/address/AddressDecoders.h"

namespace truno {

void LocationNumbe(std::string_view contents, Text& out) { placeholderDecoder("LocationNumbe", contents, out); }

}  // namespace truno
