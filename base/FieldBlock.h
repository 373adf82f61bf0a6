#pragma once
// Blocks of field lines cut from the octets of a parameter: an optional title line, then one
// dressed line per field. Each field is a run of bits of one octet, looked up in its value
// table with the field's own fallback. A decoder of this shape is data (its title, its field
// lines, how the block ends) handed to appendFieldBlock.
#include "base/FieldTable.h"

#include <span>
#include <string_view>

namespace truno {

// Octet index meaning "the last octet of the whole contents read as one number" (characters
// 25-32 of its decToBin form, so the contents are held to the decToBin limit). Any other index
// n reads octet n on its own.
inline constexpr int kLastOctet = 0;

// How a line's label is dressed: at level 1 (dressLabel) or level 2 (dressLabelL2).
enum class LineLevel { L1, L2 };

// One field and its report line: the label, the octet and bits the field occupies, and how its
// value reads. Rows are written with designated initialisers, for instance
//   {.label = "Satellite indicator", .octet = 1, .bits = {5, 4}, .table = kSatellite}.
struct BitField {
    DottedLabel label;
    LineLevel level = LineLevel::L2;
    int octet = 1;  // 1-based octet index, or kLastOctet
    Bits bits = {8, 1};
    std::span<const Phrase> table = {};        // rows keyed by bit pattern
    std::span<const ValuePhrase> values = {};  // or rows keyed by the field's value
    Fallback fallback = kFallbackBits;         // what a value without a row prints
};

// The field's line without its line end: the dressed label, then the phrase of the first row
// that matches the field cut from `octet` (the value rows when there are any), or the fallback.
void appendFieldLine(Text& out, const BitField& field, std::uint8_t octet);

// What follows the last field line: nothing, CR LF, or CR LF twice (an empty line after it).
enum class BlockEnding { None, LineEnd, EmptyLine };

struct FieldBlock {
    std::string_view title;  // empty: the block has no title line
    std::span<const BitField> lines;
    BlockEnding ending;
};

// Title and field lines joined by CR LF, then the block's ending. Every octet the lines read is
// converted before anything is appended, so contents that lack one of them, or do not convert,
// throw DecodeError and leave `out` as it was. Octets are converted in the order of the lines,
// so the first line that cannot be read names the failure.
void appendFieldBlock(Text& out, std::string_view contents, const FieldBlock& block);

}  // namespace truno
