#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void UserToUserInfo(std::string_view contents, Text& out) { placeholderDecoder("UserToUserInfo", contents, out); }

}  // namespace truno
