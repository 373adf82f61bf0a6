#include "parameters/national/NationalDecoders.h"

namespace truno {

void AdditionalRoutingInf(std::string_view contents, Text& out) { placeholderDecoder("AdditionalRoutingInf", contents, out); }

}  // namespace truno
