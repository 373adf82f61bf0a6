// Propagation delay counter (code 31), Q.763 3.42.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

#include <cstdint>

namespace truno {

namespace {

constexpr BitField kDelayField{.key = "delay", .label = "PROPAGATION DELAY COUNTER", .level = LineLevel::L1};

}  // namespace

// Octets 1 and 2 form one 16-bit count of milliseconds, octet 1 most significant; octets
// after the second are not read.
void PropagationDelayCounter(std::string_view contents, Text& out) {
    const std::uint32_t high = contentOctet(contents, 1);
    const std::uint32_t low = contentOctet(contents, 2);
    dressField(out, kDelayField);
    out.setFieldNumber((high << 8) | low);
    appendDecimal(out, (high << 8) | low);
    out += " millisecond(s)";
    out += CRLF;
}

void PropagationDelayCounterFields(FieldList& list) { list.add(kDelayField); }

}  // namespace truno
