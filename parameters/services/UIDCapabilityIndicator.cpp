#include "parameters/services/ServiceDecoders.h"

namespace truno {

void UIDCapabilityIndicator(std::string_view contents, Text& out) { placeholderDecoder("UIDCapabilityIndicator", contents, out); }

}  // namespace truno
