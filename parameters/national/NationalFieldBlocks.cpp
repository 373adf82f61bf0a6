// The national-use parameters whose contents are one block of field lines and nothing more:
// for each, in code order, its value tables, its field rows and its block. The parameter
// table draws a block with appendFieldBlock and lists its fields from its rows. The tables are
// constants of this file; only the blocks are declared in NationalDecoders.h.
#include "base/FieldBlock.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {

// ---------------------------------------------------------------------------------------------
// Freephone indicators (code 41), reserved in Q.763 Table 5 for national use.

// Bit A of the last octet.
constexpr Phrase kFreephone[] = {
    {"0", "0, no indication"},
    {"1", "1, freephone call"},
};

constexpr BitField kFreephoneIndicatorsLines[] = {
    {.key = "freephone", .label = "FREE PHONE INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kFreephone},
};

constexpr FieldBlock kFreephoneIndicatorsBlock{"", kFreephoneIndicatorsLines, BlockEnding::LineEnd};

}  // namespace truno
