#include "parameters/services/ServiceDecoders.h"

namespace truno {

void ForwadGVNS(std::string_view contents, Text& out) { placeholderDecoder("ForwadGVNS", contents, out); }

}  // namespace truno
