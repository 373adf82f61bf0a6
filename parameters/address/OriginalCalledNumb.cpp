#include "parameters/address/AddressDecoders.h"

namespace truno {

void OriginalCalledNumb(std::string_view contents, Text& out) { placeholderDecoder("OriginalCalledNumb", contents, out); }

}  // namespace truno
