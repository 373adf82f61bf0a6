#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void InformationRequestIndicatorsNatUse(std::string_view contents, Text& out) { placeholderDecoder("InformationRequestIndicatorsNatUse", contents, out); }

}  // namespace truno
