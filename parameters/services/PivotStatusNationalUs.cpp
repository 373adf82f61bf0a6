#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PivotStatusNationalUs(std::string_view contents, Text& out) { placeholderDecoder("PivotStatusNationalUs", contents, out); }

}  // namespace truno
