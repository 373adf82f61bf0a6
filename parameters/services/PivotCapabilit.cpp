#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PivotCapabilit(std::string_view contents, Text& out) { placeholderDecoder("PivotCapabilit", contents, out); }

}  // namespace truno
