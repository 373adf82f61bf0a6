#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using callcontrol::IndicatorField;

constexpr Phrase kInBandInformation[] = {
    {"0", "0, no indication"},
    {"1", "1, in-band information or an appropriate" TRUNO_VALUE_COLUMN_BREAK
          "pattern is now available"},
};

constexpr Phrase kCallDiversionMayOccur[] = {
    {"0", "0, no indication"},
    {"1", "1, call diversion may occur"},
};

constexpr Phrase kMlppUser[] = {
    {"0", "0, no indication"},
    {"1", "1, MLPP user"},
};

constexpr Phrase kTimeSupervisionBeforeAnswer[] = {
    {"0", "0, time supervision before B-answer."},
    {"1", "1, no time supervision before B-answer."},
};

constexpr Phrase kLastPartyRelease[] = {
    {"0", "0, ordinary release"},
    {"1", "1, last party release"},
};

// Bits A to D, G and H, one line each; bits E and F are not shown.
constexpr IndicatorField kFields[] = {
    {"In-band information indicator", 8, 1, kInBandInformation},
    {"Call diversion may occur indicator", 7, 1, kCallDiversionMayOccur},
    {"Simple segmentation indicator", 6, 1, callcontrol::kSimpleSegmentation},
    {"MLPP user indicator", 5, 1, kMlppUser},
    {"Time superv. before B-answer indic", 2, 1, kTimeSupervisionBeforeAnswer},
    {"Last party release indicator", 1, 1, kLastPartyRelease},
};

}  // namespace

void OptionalBackwardCallIndicator(std::string_view contents, Text& out) {
    callcontrol::appendIndicatorBlock(out, "OPTIONAL BACKWARD CALL INDICATORS:",
                                      callcontrol::lastOctetOfContents(contents), kFields,
                                      callcontrol::LastLine::EndsWithCrLf);
}

}  // namespace truno
