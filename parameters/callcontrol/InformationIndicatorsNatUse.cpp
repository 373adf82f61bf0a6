#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using callcontrol::IndicatorField;

constexpr Phrase kCallingPartyAddressResponse[] = {
    {"00", "0, calling party address not included"},
    {"01", "1, calling party address not available"},
    {"10", "2, spare"},
    {"11", "3, calling party address included"},
};

constexpr Phrase kCategoryResponse[] = {
    {"0", "0, calling party's category not included"},
    {"1", "1, calling party's category included"},
};

constexpr Phrase kSolicitedInformation[] = {
    {"0", "0, solicited"},
    {"1", "1, unsolicited"},
};

// Bits B A, F and H of octet 1.
constexpr IndicatorField kFields[] = {
    {"Calling Party Addr Response Indicator", 7, 2, kCallingPartyAddressResponse},
    {"CPC Response Indicator", 3, 1, kCategoryResponse},
    {"Solicited Information Indicator", 1, 1, kSolicitedInformation},
};

}  // namespace

// The information message carries this parameter as a single mandatory octet, so only octet 1
// is read; every field shown lies in it.
void InformationIndicatorsNatUse(std::string_view contents, Text& out) {
    callcontrol::appendIndicatorBlock(out, "INFORMATION INDICATORS(NATIONAL USE):",
                                      contentOctet(contents, 1), kFields,
                                      callcontrol::LastLine::EndsWithCrLf);
}

}  // namespace truno
