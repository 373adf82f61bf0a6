#include "parameters/transport/TransportDecoders.h"

namespace truno {

void BATCompatReport(std::string_view contents, Text& out) {
    titledRaw(out, "BAT COMPATIBILITY REPORT", contents);
}

}  // namespace truno
