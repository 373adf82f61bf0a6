#include "parameters/address/AddressDecoders.h"

namespace truno {

void CalledINNumbe(std::string_view contents, Text& out) { placeholderDecoder("CalledINNumbe", contents, out); }

}  // namespace truno
