// Circuit group supervision message type (code 15), Q.763 3.13.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kGroupSupervisionType[] = {
    {"00", "0, maintenance oriented"},
    {"01", "1, reserved"},
    {"10", "2, reserved"},
    {"11", "3, spare"},
};

// Type indicator, bits B A; the rest of the octet is spare.
constexpr BitField kLines[] = {
    {.key = "type", .label = "CCT/CIC GROUP SUP. MSG TYPE IND", .level = LineLevel::L1, .octet = kLastOctet, .bits = {2, 1},
     .table = kGroupSupervisionType},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void CircuitGroupSupervisionMessageType(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CircuitGroupSupervisionMessageTypeFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
