#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void CallingPartyCat(std::string_view contents, Text& out) { placeholderDecoder("CallingPartyCat", contents, out); }

}  // namespace truno
