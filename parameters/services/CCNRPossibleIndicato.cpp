#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CCNRPossibleIndicato(std::string_view contents, Text& out) { placeholderDecoder("CCNRPossibleIndicato", contents, out); }

}  // namespace truno
