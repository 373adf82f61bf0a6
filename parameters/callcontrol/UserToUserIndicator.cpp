#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void UserToUserIndicator(std::string_view contents, Text& out) { placeholderDecoder("UserToUserIndicator", contents, out); }

}  // namespace truno
