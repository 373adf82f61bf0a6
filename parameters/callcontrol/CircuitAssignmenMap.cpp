#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// The map of circuits is shown as received, without interpretation.
void CircuitAssignmenMap(std::string_view contents, Text& out) {
    titledRaw(out, "CIRCUIT ASSIGNMENT MAP", contents);
}

}  // namespace truno
