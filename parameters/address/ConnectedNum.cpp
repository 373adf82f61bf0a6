#include "parameters/address/AddressDecoders.h"

namespace truno {

void ConnectedNum(std::string_view contents, Text& out) { placeholderDecoder("ConnectedNum", contents, out); }

}  // namespace truno
