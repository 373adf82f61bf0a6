#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectCapabilityNationalUs(std::string_view contents, Text& out) { placeholderDecoder("RedirectCapabilityNationalUs", contents, out); }

}  // namespace truno
