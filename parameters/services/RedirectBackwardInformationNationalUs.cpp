#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectBackwardInformationNationalUs(std::string_view contents, Text& out) { placeholderDecoder("RedirectBackwardInformationNationalUs", contents, out); }

}  // namespace truno
