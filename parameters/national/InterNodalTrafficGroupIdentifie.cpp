#include "parameters/national/NationalDecoders.h"

namespace truno {

void InterNodalTrafficGroupIdentifie(std::string_view contents, Text& out) { placeholderDecoder("InterNodalTrafficGroupIdentifie", contents, out); }

}  // namespace truno
