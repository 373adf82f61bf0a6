#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectionInfo(std::string_view contents, Text& out) { placeholderDecoder("RedirectionInfo", contents, out); }

}  // namespace truno
