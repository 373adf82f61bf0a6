#include "parameters/services/ServiceDecoders.h"

namespace truno {

void MCIDResponseIndicator(std::string_view contents, Text& out) { placeholderDecoder("MCIDResponseIndicator", contents, out); }

}  // namespace truno
