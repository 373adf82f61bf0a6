#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void TransMedRequirement(std::string_view contents, Text& out) { placeholderDecoder("TransMedRequirement", contents, out); }

}  // namespace truno
