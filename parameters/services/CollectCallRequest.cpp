// Collect call request (code 79), Q.763 3.82.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCollectCall[] = {
    {"0", "0, no indication"},
    {"1", "1, collect call requested"},
};

constexpr BitField kLines[] = {
    {.key = "collect_call_request", .label = "COLLECT CALL REQUEST INDIC", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kCollectCall},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void CollectCallRequest(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CollectCallRequestFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
