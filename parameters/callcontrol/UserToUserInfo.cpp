#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// The user-to-user information is shown as received, without interpretation.
void UserToUserInfo(std::string_view contents, Text& out) {
    titledRaw(out, "UserToUserInformation", contents);
}

}  // namespace truno
