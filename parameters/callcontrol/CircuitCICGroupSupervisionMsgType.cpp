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
constexpr callcontrol::IndicatorField kField{"CCT/CIC GROUP SUP. MSG TYPE IND", 7, 2,
                                             kGroupSupervisionType};

}  // namespace

void CircuitCICGroupSupervisionMsgType(std::string_view contents, Text& out) {
    callcontrol::appendOneLineIndicator(out, callcontrol::lastOctetOfContents(contents), kField,
                                        callcontrol::LastLine::Open);
}

}  // namespace truno
