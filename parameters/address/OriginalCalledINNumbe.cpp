#include "parameters/address/AddressDecoders.h"

namespace truno {

void OriginalCalledINNumbe(std::string_view contents, Text& out) { placeholderDecoder("OriginalCalledINNumbe", contents, out); }

}  // namespace truno
