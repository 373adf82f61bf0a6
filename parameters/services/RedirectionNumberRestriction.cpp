// Redirection number restriction (code 40), Q.763 3.47.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A; bits H-C are not shown.
constexpr Phrase kPresentationRestricted[] = {
    {"00", "0, presentation allowed"},
    {"01", "1, presentation restricted"},
    {"10", "2, spare"},
    {"11", "3, spare"},
};

constexpr BitField kLines[] = {
    {.key = "presentation_restricted", .label = "Presentation restricted indicator", .octet = kLastOctet, .bits = {2, 1},
     .table = kPresentationRestricted},
};

constexpr FieldBlock kBlock{"REDIRECTION NUMBER RESTRICTION:", kLines, BlockEnding::None};

}  // namespace

void RedirectionNumberRestriction(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void RedirectionNumberRestrictionFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
