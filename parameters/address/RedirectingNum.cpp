#include "parameters/address/AddressDecoders.h"

namespace truno {

void RedirectingNum(std::string_view contents, Text& out) { placeholderDecoder("RedirectingNum", contents, out); }

}  // namespace truno
