#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

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
constexpr FieldLine kLines[] = {
    {"Closed user grp. call indicator", LineLevel::L2, kLastOctet, 7, 2, kClosedUserGroupCall,
     kFallbackBits},
    {"Simple segmentation indicator", LineLevel::L2, kLastOctet, 6, 1,
     callcontrol::kSimpleSegmentation, kFallbackBits},
    {"Connected line ID request indic", LineLevel::L2, kLastOctet, 1, 1, kConnectedLineIdRequest,
     kFallbackBits},
};

constexpr FieldBlock kBlock{"OPTIONAL FORWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

void OptionalForwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
