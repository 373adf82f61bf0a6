#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void CircuitCICStateIndicatorNatUse(std::string_view contents, Text& out) { placeholderDecoder("CircuitCICStateIndicatorNatUse", contents, out); }

}  // namespace truno
