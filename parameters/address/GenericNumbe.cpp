#include "parameters/address/AddressDecoders.h"

namespace truno {

void GenericNumbe(std::string_view contents, Text& out) { placeholderDecoder("GenericNumbe", contents, out); }

}  // namespace truno
