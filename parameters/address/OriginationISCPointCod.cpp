#include "parameters/address/AddressDecoders.h"

namespace truno {

void OriginationISCPointCod(std::string_view contents, Text& out) { placeholderDecoder("OriginationISCPointCod", contents, out); }

}  // namespace truno
