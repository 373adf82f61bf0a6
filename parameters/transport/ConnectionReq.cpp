#include "parameters/transport/TransportDecoders.h"

namespace truno {

void ConnectionReq(std::string_view contents, Text& out) {
    titledRaw(out, "CONNECTION REQUEST", contents);
}

}  // namespace truno
