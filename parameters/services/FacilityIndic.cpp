#include "parameters/services/ServiceDecoders.h"

namespace truno {

void FacilityIndic(std::string_view contents, Text& out) { placeholderDecoder("FacilityIndic", contents, out); }

}  // namespace truno
