#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using callcontrol::IndicatorField;

constexpr Phrase kClosedUserGroupCall[] = {
    {"00", "0, non-CUG call"},
    {"01", "1, spare"},
    {"10", "2, CUG call, outgoing access allowed"},
    {"11", "3, CUG call, outgoing access not allowed"},
};

constexpr Phrase kConnectedLineIdRequest[] = {
    {"0", "0, not requested"},
    {"1", "1, requested"},
};

// Bits B A, C and H; bits D to G carry nothing shown.
constexpr IndicatorField kFields[] = {
    {"Closed user grp. call indicator", 7, 2, kClosedUserGroupCall},
    {"Simple segmentation indicator", 6, 1, callcontrol::kSimpleSegmentation},
    {"Connected line ID request indic", 1, 1, kConnectedLineIdRequest},
};

}  // namespace

void OptionalForwardCallInd(std::string_view contents, Text& out) {
    callcontrol::appendIndicatorBlock(out, "OPTIONAL FORWARD CALL INDICATORS:",
                                      callcontrol::lastOctetOfContents(contents), kFields,
                                      callcontrol::LastLine::EndsWithCrLf);
}

}  // namespace truno
