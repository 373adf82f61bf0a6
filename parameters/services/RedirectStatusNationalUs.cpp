#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectStatusNationalUs(std::string_view contents, Text& out) { placeholderDecoder("RedirectStatusNationalUs", contents, out); }

}  // namespace truno
