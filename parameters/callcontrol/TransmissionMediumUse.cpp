#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void TransmissionMediumUse(std::string_view contents, Text& out) { placeholderDecoder("TransmissionMediumUse", contents, out); }

}  // namespace truno
