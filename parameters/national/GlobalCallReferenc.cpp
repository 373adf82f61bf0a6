#include "parameters/national/NationalDecoders.h"

namespace truno {

void GlobalCallReferenc(std::string_view contents, Text& out) { placeholderDecoder("GlobalCallReferenc", contents, out); }

}  // namespace truno
