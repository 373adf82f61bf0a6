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

// How a line's label is dressed: by dressLabel (L1) or by dressLabelL2 (L2).
enum class LineLevel { L1, L2 };

struct FieldLine {
    std::string_view label;
    LineLevel level;
    int octet;   // kLastOctet, or 1-based octet index
    int first;   // first character of the field in the octet's 8 characters (1 = bit 8 = H)
    int length;  // number of bits
    std::span<const Phrase> table;  // rows keyed by bit pattern; may be empty
    Fallback fallback;              // what a value without a row prints
    // Rows keyed by the field's value, for fields whose phrases are listed by number; looked up
    // instead of `table` when not empty. With both empty the fallback alone gives the value.
    std::span<const ValuePhrase> values = {};
};

// What follows the last field line: nothing, CR LF, or CR LF twice (an empty line after it).
enum class BlockEnding { None, LineEnd, EmptyLine };

struct FieldBlock {
    std::string_view title;  // empty: the block has no title line
    std::span<const FieldLine> lines;
    BlockEnding ending;
};

// Title and field lines joined by CR LF, then the block's ending. Every octet the lines read is
// converted before anything is appended, so contents that lack one of them, or do not convert,
// throw DecodeError and leave `out` as it was. Octets are converted in the order of the lines,
// so the first line that cannot be read names the failure.
void appendFieldBlock(Text& out, std::string_view contents, const FieldBlock& block);

}  // namespace truno
