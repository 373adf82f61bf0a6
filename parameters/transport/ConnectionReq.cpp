#include "parameters/transport/TransportDecoders.h"

namespace truno {

void ConnectionReq(std::string_view contents, Text& out) { placeholderDecoder("ConnectionReq", contents, out); }

}  // namespace truno
