#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kContinuity[] = {
    {"0", "0, reserved"},
    {"1", "1, continuity"},
};

// Continuity indicator, bit A; the rest of the octet is spare.
constexpr callcontrol::IndicatorField kField{"CONTINUITY INDICATOR", 8, 1, kContinuity};

}  // namespace

void ContinuityIndicator(std::string_view contents, Text& out) {
    callcontrol::appendOneLineIndicator(out, callcontrol::lastOctetOfContents(contents), kField,
                                        callcontrol::LastLine::Open);
}

}  // namespace truno
