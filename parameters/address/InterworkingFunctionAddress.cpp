// Interworking function address, bearer association element 3, Q.765.5.
#include "parameters/address/AddressDecoders.h"

namespace truno {
namespace {

// Octets shown of an address that is not in the "45" form.
constexpr std::size_t kReversedOctets = 20;

}  // namespace

// An interworking function address that starts with the octet 45 is shown as received;
// any other is shown as its first twenty octets, last octet first, each octet's two hex digits
// kept in their order. Both end with CR LF.
void InterworkingFunctionAddress(std::string_view contents, Text& out) {
    if (contents.starts_with("45")) {
        appendLogText(out, contents);
    } else {
        for (std::size_t octet = kReversedOctets; octet >= 1; --octet) {
            const std::size_t start = 2 * (octet - 1);
            if (start < contents.size()) appendLogText(out, contents.substr(start, 2));
        }
    }
    out += CRLF;
}

}  // namespace truno
