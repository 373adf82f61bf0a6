#pragma once
// The shape shared by the redirection, notification, diversion and treatment-indicator
// parameters: an optional title line, then one line per field. Each field is a run of bits of
// one octet, looked up in its value table with the field's own fallback. A decoder of this
// shape is data (its title, its field lines, how the block ends) handed to appendOctetBlock.
#include "core/FieldTable.h"

#include <span>
#include <string_view>

namespace truno::octetblock {

// Octet index meaning "the last octet of the whole contents read as one number" (characters
// 25-32 of its DectoBin form). Any other index n reads octet n on its own.
inline constexpr int kLastOctet = 0;

enum class Level { L1, L2 };  // label dressed by DressData or by DressItL2

struct FieldLine {
    std::string_view label;
    Level level;
    int octet;   // kLastOctet, or 1-based octet index
    int first;   // first character of the field in the octet's 8 characters (1 = bit 8 = H)
    int length;  // number of bits
    std::span<const Phrase> table;  // may be empty: the fallback alone then gives the value
    Fallback fallback;
};

// What follows the last field line: nothing, CR LF, or CR LF twice (an empty line after it).
enum class Ending { None, LineEnd, EmptyLine };

struct OctetBlock {
    std::string_view title;  // empty: the block has no title line
    std::span<const FieldLine> lines;
    Ending ending;
};

// A treatment indicator is a single line: its title dressed by DressData, then the phrase of
// bits B A of the last octet (all four patterns have a row). Only the table and whether the
// line ends with CR LF differ between the indicators.
constexpr FieldLine treatmentIndicatorLine(std::string_view title, std::span<const Phrase> table) {
    return FieldLine{title, Level::L1, kLastOctet, 7, 2, table, kFallbackBits};
}

// Title and field lines joined by CR LF, then the block's ending. Throws DecodeError when an
// octet a line needs is missing or the contents do not convert.
void appendOctetBlock(Text& out, std::string_view contents, const OctetBlock& block);

}  // namespace truno::octetblock
