#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void ForwardCallIndic(std::string_view contents, Text& out) { placeholderDecoder("ForwardCallIndic", contents, out); }

}  // namespace truno
