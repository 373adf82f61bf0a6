#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// Shown without interpretation, no line end after the digits.
void TransmissionMediumRequirementPrim(std::string_view contents, Text& out) {
    titledRaw(out, "TransmissionMediumRequirementPrime", contents);
}

}  // namespace truno
