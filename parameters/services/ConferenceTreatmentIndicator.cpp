#include "parameters/services/ServiceDecoders.h"

namespace truno {

void ConferenceTreatmentIndicator(std::string_view contents, Text& out) { placeholderDecoder("ConferenceTreatmentIndicator", contents, out); }

}  // namespace truno
