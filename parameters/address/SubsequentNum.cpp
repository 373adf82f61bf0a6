#include "parameters/address/AddressDecoders.h"

namespace truno {

void SubsequentNum(std::string_view contents, Text& out) { placeholderDecoder("SubsequentNum", contents, out); }

}  // namespace truno
