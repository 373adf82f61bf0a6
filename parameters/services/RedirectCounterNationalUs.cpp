#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectCounterNationalUs(std::string_view contents, Text& out) { placeholderDecoder("RedirectCounterNationalUs", contents, out); }

}  // namespace truno
