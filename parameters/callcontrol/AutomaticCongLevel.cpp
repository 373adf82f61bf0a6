#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void AutomaticCongLevel(std::string_view contents, Text& out) { placeholderDecoder("AutomaticCongLevel", contents, out); }

}  // namespace truno
