#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void CircuitAssignmenMap(std::string_view contents, Text& out) { placeholderDecoder("CircuitAssignmenMap", contents, out); }

}  // namespace truno
