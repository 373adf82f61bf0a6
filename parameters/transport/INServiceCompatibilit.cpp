#include "parameters/transport/TransportDecoders.h"

namespace truno {

void INServiceCompatibilit(std::string_view contents, Text& out) { placeholderDecoder("INServiceCompatibilit", contents, out); }

}  // namespace truno
