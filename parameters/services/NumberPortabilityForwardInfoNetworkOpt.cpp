#include "parameters/services/ServiceDecoders.h"

namespace truno {

void NumberPortabilityForwardInfoNetworkOpt(std::string_view contents, Text& out) { placeholderDecoder("NumberPortabilityForwardInfoNetworkOpt", contents, out); }

}  // namespace truno
