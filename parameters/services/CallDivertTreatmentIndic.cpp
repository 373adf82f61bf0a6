#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallDivertTreatmentIndic(std::string_view contents, Text& out) { placeholderDecoder("CallDivertTreatmentIndic", contents, out); }

}  // namespace truno
