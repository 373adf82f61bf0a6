#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void UserServiceInformationPrim(std::string_view contents, Text& out) { placeholderDecoder("UserServiceInformationPrim", contents, out); }

}  // namespace truno
