// Suspend/resume indicators (code 22), Q.763 3.52.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kSuspendResume[] = {
    {"0", "0, ISDN subscriber initiated"},
    {"1", "1, network initiated"},
};

// Suspend/resume indicator, bit A; the rest of the octet is spare.
constexpr BitField kLines[] = {
    {.key = "suspend_resume", .label = "SUSPEND/RESUME INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kSuspendResume},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void SuspendResumeIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void SuspendResumeIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
