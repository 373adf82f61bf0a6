// The national-use parameters whose contents are one block of field lines and nothing more:
// for each, in code order, its value tables, its field rows and its block. The parameter
// table draws a block with appendFieldBlock and lists its fields from its rows. The tables are
// constants of this file; only the blocks are declared in NationalDecoders.h. Then the
// parameters whose contents are one number, each the row of its line.
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

// ---------------------------------------------------------------------------------------------
// Call transfer reference (code 43), Q.763 3.65.
constexpr BitField kCallTransferReferenceField{.key = "reference", .label = "CALL TRANSFER REFERENCE",
                                               .level = LineLevel::L1};

// ---------------------------------------------------------------------------------------------
// Additional charging information (code FA), a national parameter with no ITU-T clause.
constexpr BitField kAdditionalChargingInformationField{.key = "charging", .label = "ADDITIONAL CHARGING INFORMATION",
                                                       .level = LineLevel::L1};

}  // namespace truno
