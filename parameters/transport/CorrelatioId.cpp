#include "parameters/transport/TransportDecoders.h"

namespace truno {

void CorrelatioId(std::string_view contents, Text& out) { placeholderDecoder("CorrelatioId", contents, out); }

}  // namespace truno
