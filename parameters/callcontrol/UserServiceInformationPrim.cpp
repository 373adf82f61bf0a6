#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// Shown as received, without interpretation.
void UserServiceInformationPrim(std::string_view contents, Text& out) {
    titledRaw(out, "UserServiceInformationPrime", contents);
}

}  // namespace truno
