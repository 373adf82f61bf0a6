#include "parameters/services/ServiceDecoders.h"

namespace truno {

void ServiceActivatio(std::string_view contents, Text& out) { placeholderDecoder("ServiceActivatio", contents, out); }

}  // namespace truno
