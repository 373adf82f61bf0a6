#include "parameters/services/ServiceDecoders.h"

namespace truno {

void MCIDRequestIndicator(std::string_view contents, Text& out) { placeholderDecoder("MCIDRequestIndicator", contents, out); }

}  // namespace truno
