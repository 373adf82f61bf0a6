#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kContinuity[] = {
    {"0", "0, reserved"},
    {"1", "1, continuity"},
};

// Continuity indicator, bit A; the rest of the octet is spare.
constexpr FieldLine kLines[] = {
    {"CONTINUITY INDICATOR", LineLevel::L1, kLastOctet, 8, 1, kContinuity, kFallbackBits},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void ContinuityIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
