#include "parameters/services/ServiceDecoders.h"

namespace truno {

void DisplayInformatio(std::string_view contents, Text& out) { placeholderDecoder("DisplayInformatio", contents, out); }

}  // namespace truno
