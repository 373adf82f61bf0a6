#include "parameters/address/AddressDecoders.h"

namespace truno {

void CalledPartyNo(std::string_view contents, Text& out) { placeholderDecoder("CalledPartyNo", contents, out); }

}  // namespace truno
