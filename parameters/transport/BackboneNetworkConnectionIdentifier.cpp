// Backbone network connection id and bearer control unit id, BAT elements 2 and 10, Q.765.5.
#include "base/Conversions.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {

// Also shows the bearer control unit identifier, which has the same form. The decimal value
// is exact for any length.
void BackboneNetworkConnectionIdentifier(std::string_view contents, Text& out) {
    out += HexDecimal(contents).text();
    out += " (H'";
    out += contents;
    out += ')';
    out += CRLF;
}

}  // namespace truno
