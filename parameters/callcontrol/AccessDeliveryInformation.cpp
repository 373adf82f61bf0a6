// Access delivery information (code 2E), Q.763 3.1.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kAccessDelivery[] = {
    {"0", "0, setup message generated."},
    {"1", "1, no setup message generated."},
};

// Access delivery indicator, bit A; the rest of the octet is spare.
constexpr BitField kLines[] = {
    {.key = "access_delivery", .label = "ACCESS DELIVERY INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kAccessDelivery},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void AccessDeliveryInformation(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void AccessDeliveryInformationFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
