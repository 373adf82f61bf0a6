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
constexpr FieldLine kLines[] = {
    {"Pivot possible indicator", LineLevel::L2, kLastOctet, 6, 3, kPivotPossible,
     kFallbackBitsSpare},
    {"Interworking to redirection indic", LineLevel::L2, kLastOctet, 2, 1,
     kInterworkingToRedirection, kFallbackBits},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"PIVOT CAPABILITY:", kLines, BlockEnding::None};

}  // namespace

void PivotCapability(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
