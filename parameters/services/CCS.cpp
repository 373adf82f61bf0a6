#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CCS(std::string_view contents, Text& out) { placeholderDecoder("CCS", contents, out); }

}  // namespace truno
