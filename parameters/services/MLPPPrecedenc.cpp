#include "parameters/services/ServiceDecoders.h"

namespace truno {

void MLPPPrecedenc(std::string_view contents, Text& out) { placeholderDecoder("MLPPPrecedenc", contents, out); }

}  // namespace truno
