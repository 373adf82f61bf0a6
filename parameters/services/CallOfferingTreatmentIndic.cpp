#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallOfferingTreatmentIndic(std::string_view contents, Text& out) { placeholderDecoder("CallOfferingTreatmentIndic", contents, out); }

}  // namespace truno
