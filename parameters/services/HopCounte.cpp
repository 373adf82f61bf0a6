#include "parameters/services/ServiceDecoders.h"

namespace truno {

void HopCounte(std::string_view contents, Text& out) { placeholderDecoder("HopCounte", contents, out); }

}  // namespace truno
