#include "parameters/transport/TransportDecoders.h"

namespace truno {

void INServiceCompatibilit(std::string_view contents, Text& out) {
    titledRaw(out, "IN SERVICE COMPATIBILITY", contents);
}

}  // namespace truno
