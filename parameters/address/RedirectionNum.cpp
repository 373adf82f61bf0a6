#include "parameters/address/AddressDecoders.h"

namespace truno {

void RedirectionNum(std::string_view contents, Text& out) { placeholderDecoder("RedirectionNum", contents, out); }

}  // namespace truno
