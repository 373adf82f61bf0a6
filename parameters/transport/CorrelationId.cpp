// Correlation id (code 65), Q.763 3.70.
#include "base/Conversions.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {

// The identifier in decimal, exact for any length, then its octets as received.
void CorrelationId(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    dressLabel(out, "CORRELATION ID");
    out += decimal.text();
    out += "(H'";
    out += contents;
    out += ')';
    out += CRLF;
}

}  // namespace truno
