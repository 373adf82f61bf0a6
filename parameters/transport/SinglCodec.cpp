#include "parameters/transport/TransportDecoders.h"

namespace truno {

void SinglCodec(std::string_view contents, Text& out) {
    titledRaw(out, "SingleCodec", contents);
}

}  // namespace truno
