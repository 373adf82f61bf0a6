#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallTransferTreatmentIndic(std::string_view contents, Text& out) { placeholderDecoder("CallTransferTreatmentIndic", contents, out); }

}  // namespace truno
