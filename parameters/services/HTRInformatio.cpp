#include "parameters/services/ServiceDecoders.h"

namespace truno {

void HTRInformatio(std::string_view contents, Text& out) { placeholderDecoder("HTRInformatio", contents, out); }

}  // namespace truno
