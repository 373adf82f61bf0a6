#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

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
constexpr FieldLine kLines[] = {
    {"In-band information indicator", LineLevel::L2, kLastOctet, 8, 1, kInBandInformation,
     kFallbackBits},
    {"Call diversion may occur indicator", LineLevel::L2, kLastOctet, 7, 1, kCallDiversionMayOccur,
     kFallbackBits},
    {"Simple segmentation indicator", LineLevel::L2, kLastOctet, 6, 1,
     callcontrol::kSimpleSegmentation, kFallbackBits},
    {"MLPP user indicator", LineLevel::L2, kLastOctet, 5, 1, kMlppUser, kFallbackBits},
    {"Time superv. before B-answer indic", LineLevel::L2, kLastOctet, 2, 1,
     kTimeSupervisionBeforeAnswer, kFallbackBits},
    {"Last party release indicator", LineLevel::L2, kLastOctet, 1, 1, kLastPartyRelease,
     kFallbackBits},
};

constexpr FieldBlock kBlock{"OPTIONAL BACKWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

void OptionalBackwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
