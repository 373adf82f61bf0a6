#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void ContinuityIndicator(std::string_view contents, Text& out) { placeholderDecoder("ContinuityIndicator", contents, out); }

}  // namespace truno
