// Bearer network connection characteristics, bearer association element 7, Q.765.5.
#include "base/FieldTable.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {
namespace {

// Bearer network connection characteristics of Q.765.5.
constexpr ValuePhrase kBearerNetworkConnections[] = {
    {0, "0, no indication."}, {1, "1, AAL type 1."}, {2, "2, AAL type 2."},
    {3, "3, reserved."},      {4, "4, IP/RTP."},
};

}  // namespace

// Read as the action indicator is: the whole contents as one number of any length.
void BearerNetworkConnectionCharacteristics(std::string_view contents, Text& out) {
    appendPhrase(out, kBearerNetworkConnections, readHexNumber(significantHexDigits(contents)),
                 kFallbackDecimal);
    out += CRLF;
}

}  // namespace truno
