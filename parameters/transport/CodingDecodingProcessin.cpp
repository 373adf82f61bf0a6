#include "parameters/transport/TransportDecoders.h"

namespace truno {

void CodingDecodingProcessin(std::string_view contents, Text& out) { placeholderDecoder("CodingDecodingProcessin", contents, out); }

}  // namespace truno
