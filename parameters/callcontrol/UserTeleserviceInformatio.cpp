#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// Shown as received, without interpretation.
void UserTeleserviceInformatio(std::string_view contents, Text& out) {
    titledRaw(out, "UserTeleserviceInformation", contents);
}

}  // namespace truno
