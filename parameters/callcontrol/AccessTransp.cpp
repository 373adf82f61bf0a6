#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void AccessTransp(std::string_view contents, Text& out) { placeholderDecoder("AccessTransp", contents, out); }

}  // namespace truno
