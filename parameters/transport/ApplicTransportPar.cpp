#include "parameters/transport/TransportDecoders.h"

namespace truno {

void ApplicTransportPar(std::string_view contents, Text& out) { placeholderDecoder("ApplicTransportPar", contents, out); }

}  // namespace truno
