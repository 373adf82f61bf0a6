// Range and status (code 16), Q.763 3.43.
#include "parameters/callcontrol/CallControlDecoders.h"

#include "base/Conversions.h"

namespace truno {
namespace {

// Octet 1: the range; the circuits concerned are the message's own code and the range's value
// of codes after it. Octets 2 onward, when present: one status bit per circuit, bit n standing
// for the message's code + n, bit 1 of octet 2 being bit 0.
constexpr BitField kFields[] = {
    {.key = "range", .label = "Range"},
    {.key = "status", .label = "Status bit set for circuit (code + n)"},
};

}  // namespace

// The report shows nothing of the range and status (the circuit group messages show an empty
// line in its place); its values are kept for the views: the range, and one `status` value per
// status bit that is set, counting from the message's own code. Contents that do not read as
// hex digits give no values (the report is the same either way).
void RangeAndStatus(std::string_view contents, Text& out) {
    if (contents.size() < 2 || hexOctetValue(contents.substr(0, 2)) < 0) return;
    const auto range = static_cast<std::uint64_t>(hexOctetValue(contents.substr(0, 2)));
    out.markValue(kFields[0], range);
    const std::uint64_t circuits = range + 1;
    for (std::uint64_t n = 0; n < circuits; ++n) {
        const std::size_t at = 2 + 2 * static_cast<std::size_t>(n / 8);
        if (at + 2 > contents.size()) break;
        const int octet = hexOctetValue(contents.substr(at, 2));
        if (octet < 0) break;
        if (((static_cast<unsigned>(octet) >> (n % 8)) & 1u) != 0) out.markValue(kFields[1], n);
    }
}

void RangeAndStatusFields(FieldList& list) {
    list.add(kFields);
    CircuitQueryRangeFields(list);  // the circuit group query messages' lines
}

}  // namespace truno
