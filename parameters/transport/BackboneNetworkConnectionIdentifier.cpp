// Backbone network connection id and bearer control unit id, BAT elements 2 and 10, Q.765.5.
#include "base/Conversions.h"
#include "base/FieldTable.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {

// Also shows the bearer control unit identifier, which has the same form. The decimal value
// is exact for any length.
void BackboneNetworkConnectionIdentifier(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    if (const HexNumber number = readHexNumber(contents); number.value) out.setFieldNumber(*number.value);
    out += decimal.text();
    out += " (H'";
    out += contents;
    out += ')';
    out += CRLF;
}

}  // namespace truno
