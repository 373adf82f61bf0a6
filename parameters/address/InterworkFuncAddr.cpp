#include "parameters/address/AddressDecoders.h"

namespace truno {

void InterworkFuncAddr(std::string_view contents, Text& out) { placeholderDecoder("InterworkFuncAddr", contents, out); }

}  // namespace truno
