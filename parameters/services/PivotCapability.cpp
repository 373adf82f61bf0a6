// Pivot capability (code 7B), Q.763 3.84.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits C B A; unlisted values show as their bits and ", spare".
constexpr Phrase kPivotPossible[] = {
    {"000", "0, no indication"},
    {"001", "1, pivot routing possible before ACM"},
    {"010", "2, pivot routing possible before ANM"},
    {"011", "3, pivot routing possible anytime during the call"},
};

// Bit G.
constexpr Phrase kInterworkingToRedirection[] = {
    {"0", "0, allowed (forward)"},
    {"1", "1, not allowed (forward)"},
};

// Bits F E D are not shown.
constexpr BitField kLines[] = {
    {.key = "pivot_possible", .label = "Pivot possible indicator", .octet = kLastOctet, .bits = {3, 1},
     .table = kPivotPossible, .fallback = kFallbackBitsSpare},
    {.key = "interworking_to_redirection", .label = "Interworking to redirection indic", .octet = kLastOctet, .bits = {7, 7},
     .table = kInterworkingToRedirection},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"PIVOT CAPABILITY:", kLines, BlockEnding::None};

}  // namespace

void PivotCapability(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void PivotCapabilityFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
