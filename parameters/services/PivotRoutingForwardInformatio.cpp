#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PivotRoutingForwardInformatio(std::string_view contents, Text& out) { placeholderDecoder("PivotRoutingForwardInformatio", contents, out); }

}  // namespace truno
