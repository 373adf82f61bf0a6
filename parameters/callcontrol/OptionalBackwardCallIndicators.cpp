// Optional backward call indicators (code 29), Q.763 3.37.
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
constexpr BitField kLines[] = {
    {.key = "in_band_information", .label = "In-band information indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kInBandInformation},
    {.key = "call_diversion_may_occur", .label = "Call diversion may occur indicator", .octet = kLastOctet, .bits = {2, 2},
     .table = kCallDiversionMayOccur},
    {.key = "simple_segmentation", .label = "Simple segmentation indicator", .octet = kLastOctet, .bits = {3, 3},
     .table = callcontrol::kSimpleSegmentation},
    {.key = "mlpp_user", .label = "MLPP user indicator", .octet = kLastOctet, .bits = {4, 4}, .table = kMlppUser},
    {.key = "time_supervision_before_answer", .label = "Time superv. before B-answer indic", .octet = kLastOctet, .bits = {7, 7},
     .table = kTimeSupervisionBeforeAnswer},
    {.key = "last_party_release", .label = "Last party release indicator", .octet = kLastOctet, .bits = {8, 8},
     .table = kLastPartyRelease},
};

constexpr FieldBlock kBlock{"OPTIONAL BACKWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

void OptionalBackwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void OptionalBackwardCallIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
