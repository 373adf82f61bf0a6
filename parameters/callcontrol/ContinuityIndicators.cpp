// Continuity indicators (code 10), Q.763 3.18.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kContinuity[] = {
    {"0", "0, reserved"},
    {"1", "1, continuity"},
};

// Continuity indicator, bit A; the rest of the octet is spare.
constexpr BitField kLines[] = {
    {.key = "continuity", .label = "CONTINUITY INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kContinuity},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void ContinuityIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void ContinuityIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
