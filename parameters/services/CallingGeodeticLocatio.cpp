#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallingGeodeticLocatio(std::string_view contents, Text& out) { placeholderDecoder("CallingGeodeticLocatio", contents, out); }

}  // namespace truno
