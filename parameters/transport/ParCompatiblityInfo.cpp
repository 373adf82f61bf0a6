#include "parameters/transport/TransportDecoders.h"

namespace truno {

void ParCompatiblityInfo(std::string_view contents, Text& out) { placeholderDecoder("ParCompatiblityInfo", contents, out); }

}  // namespace truno
