#include "parameters/services/ServiceDecoders.h"

namespace truno {

void UIDActionIndicator(std::string_view contents, Text& out) { placeholderDecoder("UIDActionIndicator", contents, out); }

}  // namespace truno
