#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void InformationIndicatorsNatUse(std::string_view contents, Text& out) { placeholderDecoder("InformationIndicatorsNatUse", contents, out); }

}  // namespace truno
