// Freephone indicators (code 41), reserved in Q.763 Table 5 for national use.
#include "base/FieldBlock.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

// Bit A of the last octet.
constexpr Phrase kFreephone[] = {
    {"0", "0, no indication"},
    {"1", "1, freephone call"},
};

constexpr BitField kLines[] = {
    {.key = "freephone", .label = "FREE PHONE INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kFreephone},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void FreephoneIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void FreephoneIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
