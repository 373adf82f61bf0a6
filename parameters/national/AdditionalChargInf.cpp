#include "parameters/national/NationalDecoders.h"

namespace truno {

void AdditionalChargInf(std::string_view contents, Text& out) { placeholderDecoder("AdditionalChargInf", contents, out); }

}  // namespace truno
