#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PivotCounte(std::string_view contents, Text& out) { placeholderDecoder("PivotCounte", contents, out); }

}  // namespace truno
