// Loop prevention indicators (code 44), Q.763 3.67.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

namespace truno {

namespace {

// Bit A: type of the indication.
constexpr Phrase kType[] = {
    {"0", "0, request"},
    {"1", "1, response"},
};

// Bits C B, shown only for a response.
constexpr Phrase kResponse[] = {
    {"00", "0, insufficient information"},
    {"01", "1, no loop exists"},
    {"10", "2, simultaneous transfer"},
    {"11", "3, spare"},
};

}  // namespace

void LoopPreventionIndicators(std::string_view contents, Text& out) {
    const std::uint8_t octet = lastContentsOctet(contents);
    const Field type = bitsOf(octet, {1, 1});
    dressLabel(out, "LOOP PREVENTION INDICATORS");
    appendPhrase(out, kType, type, kFallbackBits);
    out += CRLF;
    if (type.value == 1)
        fieldLineL2(out, "Response Indicator", kResponse, bitsOf(octet, {3, 2}), kFallbackBits);
}

}  // namespace truno
