#include "parameters/address/AddressDecoders.h"

namespace truno {

void CallingPartyNumb(std::string_view contents, Text& out) { placeholderDecoder("CallingPartyNumb", contents, out); }

}  // namespace truno
