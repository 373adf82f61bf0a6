#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcnrPossible[] = {
    {"0", "0, CCNR not possible."},
    {"1", "1, CCNR possible."},
};

constexpr FieldLine kLines[] = {
    {"CCNR POSSIBLE INDICATOR", LineLevel::L1, kLastOctet, 8, 1, kCcnrPossible, kFallbackBits},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void CcnrPossibleIndicator(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
