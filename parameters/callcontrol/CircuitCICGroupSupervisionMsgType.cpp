#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void CircuitCICGroupSupervisionMsgType(std::string_view contents, Text& out) { placeholderDecoder("CircuitCICGroupSupervisionMsgType", contents, out); }

}  // namespace truno
