#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallHistoryInformatio(std::string_view contents, Text& out) { placeholderDecoder("CallHistoryInformatio", contents, out); }

}  // namespace truno
