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

constexpr BitField kFields[] = {
    {.key = "type", .label = "LOOP PREVENTION INDICATORS", .level = LineLevel::L1, .bits = {1, 1}, .table = kType},
    {.key = "response", .label = "Response Indicator", .bits = {3, 2}, .table = kResponse},
};

}  // namespace

void LoopPreventionIndicators(std::string_view contents, Text& out) {
    const std::uint8_t octet = lastContentsOctet(contents);
    const Field type = bitsOf(octet, {1, 1});
    appendFieldLine(out, kFields[0], type);
    out += CRLF;
    if (type.value == 1) {
        appendFieldLine(out, kFields[1], octet);
        out += CRLF;
    }
}

void LoopPreventionIndicatorsFields(FieldList& list) { list.add(kFields); }

}  // namespace truno
