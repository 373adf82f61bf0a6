#include "parameters/transport/TransportDecoders.h"

namespace truno {

void CodingDecodingProcessin(std::string_view contents, Text& out) {
    titledRaw(out, "CODING DECODING PROCESSING", contents);
}

}  // namespace truno
