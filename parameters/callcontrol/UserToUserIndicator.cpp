#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using callcontrol::IndicatorField;

constexpr Phrase kType[] = {
    {"0", "0, request"},
    {"1", "1, response"},
};

// A request asks for services 1 to 3; service 1's phrases carry a comma the others lack.
constexpr Phrase kRequestService1[] = {
    {"00", "0, no information"},
    {"01", "1, spare"},
    {"10", "2, request, not essential"},
    {"11", "3, request, essential"},
};

constexpr Phrase kRequestService2And3[] = {
    {"00", "0, no information"},
    {"01", "1, spare"},
    {"10", "2, request not essential"},
    {"11", "3, request essential"},
};

constexpr Phrase kResponseService[] = {
    {"00", "0, no information"},
    {"01", "1, not provided"},
    {"10", "2, provided"},
    {"11", "3, spare"},
};

constexpr Phrase kNetworkDiscard[] = {
    {"0", "0, no information"},
    {"1", "1, user-to-user info discarded by network"},
};

// Type is bit A, services 1 to 3 are bits C B, E D and G F. Bit H (network discard) belongs
// to the response only.
constexpr IndicatorField kRequestFields[] = {
    {"Type", 8, 1, kType},
    {"Service 1", 6, 2, kRequestService1},
    {"Service 2", 4, 2, kRequestService2And3},
    {"Service 3", 2, 2, kRequestService2And3},
};

constexpr IndicatorField kResponseFields[] = {
    {"Type", 8, 1, kType},
    {"Service 1", 6, 2, kResponseService},
    {"Service 2", 4, 2, kResponseService},
    {"Service 3", 2, 2, kResponseService},
    {"Network discard indicator", 1, 1, kNetworkDiscard},
};

struct Form {
    std::string_view heading;
    std::span<const IndicatorField> fields;
};

// Indexed by the type bit. The two headings differ in case.
constexpr Form kForms[] = {
    {"User-to-User Indicators:", kRequestFields},
    {"USER-TO-USER INDICATORS:", kResponseFields},
};

}  // namespace

void UserToUserIndicator(std::string_view contents, Text& out) {
    const std::uint8_t octet = callcontrol::lastOctetOfContents(contents);
    const Form& form = kForms[cutOctet(octet, 8, 1).value];
    callcontrol::appendIndicatorBlock(out, form.heading, octet, form.fields,
                                      callcontrol::LastLine::Open);
}

}  // namespace truno
