#include "parameters/address/AddressDecoders.h"

namespace truno {

void SignallingPointCodeNatUse(std::string_view contents, Text& out) { placeholderDecoder("SignallingPointCodeNatUse", contents, out); }

}  // namespace truno
