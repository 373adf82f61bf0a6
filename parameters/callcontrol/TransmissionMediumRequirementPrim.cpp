#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void TransmissionMediumRequirementPrim(std::string_view contents, Text& out) { placeholderDecoder("TransmissionMediumRequirementPrim", contents, out); }

}  // namespace truno
