#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallDiversionInfo(std::string_view contents, Text& out) { placeholderDecoder("CallDiversionInfo", contents, out); }

}  // namespace truno
