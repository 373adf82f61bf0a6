#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// Shown without interpretation, no line end after the digits.
void TransmissionMediumUse(std::string_view contents, Text& out) {
    titledRaw(out, "TransmissionMediumUsed", contents);
}

}  // namespace truno
