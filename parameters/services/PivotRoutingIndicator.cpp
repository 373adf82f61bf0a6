#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PivotRoutingIndicator(std::string_view contents, Text& out) { placeholderDecoder("PivotRoutingIndicator", contents, out); }

}  // namespace truno
