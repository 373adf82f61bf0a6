#include "parameters/national/NationalDecoders.h"

namespace truno {

void TransitNetworkSelectionNatUse(std::string_view contents, Text& out) { placeholderDecoder("TransitNetworkSelectionNatUse", contents, out); }

}  // namespace truno
