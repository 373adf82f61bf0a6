#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectionNumberRestrictio(std::string_view contents, Text& out) { placeholderDecoder("RedirectionNumberRestrictio", contents, out); }

}  // namespace truno
