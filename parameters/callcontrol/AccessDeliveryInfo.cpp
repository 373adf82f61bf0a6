#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kAccessDelivery[] = {
    {"0", "0, setup message generated."},
    {"1", "1, no setup message generated."},
};

// Access delivery indicator, bit A; the rest of the octet is spare.
constexpr callcontrol::IndicatorField kField{"ACCESS DELIVERY INDICATOR", 8, 1, kAccessDelivery};

}  // namespace

void AccessDeliveryInfo(std::string_view contents, Text& out) {
    callcontrol::appendOneLineIndicator(out, callcontrol::lastOctetOfContents(contents), kField,
                                        callcontrol::LastLine::EndsWithCrLf);
}

}  // namespace truno
