#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kSuspendResume[] = {
    {"0", "0, ISDN subscriber initiated"},
    {"1", "1, network initiated"},
};

// Suspend/resume indicator, bit A; the rest of the octet is spare.
constexpr callcontrol::IndicatorField kField{"SUSPEND/RESUME INDICATOR", 8, 1, kSuspendResume};

}  // namespace

void SuspendResumeIndic(std::string_view contents, Text& out) {
    callcontrol::appendOneLineIndicator(out, callcontrol::lastOctetOfContents(contents), kField,
                                        callcontrol::LastLine::Open);
}

}  // namespace truno
