#include "parameters/transport/TransportDecoders.h"

namespace truno {

void CodecLst(std::string_view contents, Text& out) {
    titledRaw(out, "CODEC LIST", contents);
}

}  // namespace truno
