#include "parameters/national/NationalDecoders.h"

namespace truno {

void TariffIndic(std::string_view contents, Text& out) { placeholderDecoder("TariffIndic", contents, out); }

}  // namespace truno
