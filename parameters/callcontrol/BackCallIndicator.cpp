#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void BackCallIndicator(std::string_view contents, Text& out) { placeholderDecoder("BackCallIndicator", contents, out); }

}  // namespace truno
