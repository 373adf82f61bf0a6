#include "base/FieldBlock.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

// Bit A of the last octet.
constexpr Phrase kFreephone[] = {
    {"0", "0, no indication"},
    {"1", "1, freephone call"},
};

constexpr FieldLine kLines[] = {
    {"FREE PHONE INDICATOR", LineLevel::L1, kLastOctet, 8, 1, kFreephone, kFallbackBits},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void FreephoneIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
