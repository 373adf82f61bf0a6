#include "parameters/services/ServiceDecoders.h"

namespace truno {

void RedirectForwardInformationNationalUs(std::string_view contents, Text& out) { placeholderDecoder("RedirectForwardInformationNationalUs", contents, out); }

}  // namespace truno
