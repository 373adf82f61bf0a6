#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void OptionalBackwardCallIndicator(std::string_view contents, Text& out) { placeholderDecoder("OptionalBackwardCallIndicator", contents, out); }

}  // namespace truno
