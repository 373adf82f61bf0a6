#include "parameters/services/ServiceDecoders.h"

namespace truno {

void PropagationDelayCounte(std::string_view contents, Text& out) { placeholderDecoder("PropagationDelayCounte", contents, out); }

}  // namespace truno
