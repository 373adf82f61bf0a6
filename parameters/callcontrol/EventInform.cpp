#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void EventInform(std::string_view contents, Text& out) { placeholderDecoder("EventInform", contents, out); }

}  // namespace truno
