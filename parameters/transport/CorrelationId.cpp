// Correlation id (code 65), Q.763 3.70.
#include "base/Conversions.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {
namespace {

constexpr BitField kIdField{.key = "correlation_id", .label = "CORRELATION ID", .level = LineLevel::L1};

}  // namespace

// The identifier in decimal, exact for any length, then its octets as received.
void CorrelationId(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    dressField(out, kIdField);
    if (const HexNumber number = readHexNumber(contents); number.value) out.setFieldNumber(*number.value);
    out += decimal.text();
    out += "(H'";
    out += contents;
    out += ')';
    out += CRLF;
}

void CorrelationIdFields(FieldList& list) { list.add(kIdField); }

}  // namespace truno
