#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void UserServiceInfo(std::string_view contents, Text& out) { placeholderDecoder("UserServiceInfo", contents, out); }

}  // namespace truno
