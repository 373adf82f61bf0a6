#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void UserTeleserviceInformatio(std::string_view contents, Text& out) { placeholderDecoder("UserTeleserviceInformatio", contents, out); }

}  // namespace truno
