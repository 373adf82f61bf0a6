#include "parameters/services/ServiceDecoders.h"

namespace truno {

void LoopPreventionIndicator(std::string_view contents, Text& out) { placeholderDecoder("LoopPreventionIndicator", contents, out); }

}  // namespace truno
