// Optional forward call indicators (code 08), Q.763 3.38.
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
constexpr BitField kLines[] = {
    {.key = "closed_user_group_call", .label = "Closed user grp. call indicator", .octet = kLastOctet, .bits = {2, 1},
     .table = kClosedUserGroupCall},
    {.key = "simple_segmentation", .label = "Simple segmentation indicator", .octet = kLastOctet, .bits = {3, 3},
     .table = callcontrol::kSimpleSegmentation},
    {.key = "connected_line_identity_request", .label = "Connected line ID request indic", .octet = kLastOctet, .bits = {8, 8},
     .table = kConnectedLineIdRequest},
};

constexpr FieldBlock kBlock{"OPTIONAL FORWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

void OptionalForwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void OptionalForwardCallIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
