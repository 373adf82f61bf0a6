#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PivotRoutingBackwardInformatio(std::string_view contents, Text& out) { placeholderDecoder("PivotRoutingBackwardInformatio", contents, out); }

}  // namespace truno
