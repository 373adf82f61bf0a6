#include "parameters/services/ServiceDecoders.h"

namespace truno {

void BackwrdGVNS(std::string_view contents, Text& out) { placeholderDecoder("BackwrdGVNS", contents, out); }

}  // namespace truno
