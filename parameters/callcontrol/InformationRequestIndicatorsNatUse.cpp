#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using callcontrol::IndicatorField;

constexpr Phrase kCallingPartyAddressRequest[] = {
    {"0", "0, calling party address not requested"},
    {"1", "1, calling party address requested"},
};

constexpr Phrase kCategoryRequest[] = {
    {"0", "0, calling party's category not requested"},
    {"1", "1, calling party's category requested"},
};

constexpr Phrase kMaliciousCallIdRequest[] = {
    {"0", "0, malicious call ID not requested"},
    {"1", "1, malicious call ID requested"},
};

// Bits A, D and H of octet 1.
constexpr IndicatorField kFields[] = {
    {"Calling Party Addr Request Indic", 8, 1, kCallingPartyAddressRequest},
    {"Calling Party's Category Request Indic", 5, 1, kCategoryRequest},
    {"MCID Request Indicator", 1, 1, kMaliciousCallIdRequest},
};

}  // namespace

// The information request message carries this parameter as a single mandatory octet, so only
// octet 1 is read. The block is left open after its last phrase for the caller's break.
void InformationRequestIndicatorsNatUse(std::string_view contents, Text& out) {
    callcontrol::appendIndicatorBlock(out, "INFORMATION REQUEST INDICATORS(NATIONAL USE):",
                                      contentOctet(contents, 1), kFields,
                                      callcontrol::LastLine::Open);
}

}  // namespace truno
