#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void OptionalForwardCallInd(std::string_view contents, Text& out) { placeholderDecoder("OptionalForwardCallInd", contents, out); }

}  // namespace truno
