// Bearer control tunnelling, bearer association element 9, Q.765.5.
#include "base/FieldTable.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {
namespace {

// Bit 1 of the first octet; the other bits are spare.
constexpr Phrase kTunneling[] = {
    {"0", "0, no indication"},
    {"1", "1, tunneling to be used"},
};

}  // namespace

void BearerControlTunnelling(std::string_view contents, Text& out) {
    const Field tunnelling = bitsOf(contentOctet(contents, 1), {1, 1});
    out.setFieldNumber(tunnelling.value);
    appendPhrase(out, kTunneling, tunnelling, kFallbackBits);
    out += CRLF;
}

}  // namespace truno
