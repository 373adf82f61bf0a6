#include "parameters/address/AddressDecoders.h"

namespace truno {

void CallTransferNumbe(std::string_view contents, Text& out) { placeholderDecoder("CallTransferNumbe", contents, out); }

}  // namespace truno
