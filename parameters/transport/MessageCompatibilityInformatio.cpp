#include "parameters/transport/TransportDecoders.h"

namespace truno {

void MessageCompatibilityInformatio(std::string_view contents, Text& out) { placeholderDecoder("MessageCompatibilityInformatio", contents, out); }

}  // namespace truno
