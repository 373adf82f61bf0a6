#pragma once
// Blocks of field lines cut from the octets of a parameter: an optional title line, then one
// dressed line per field. Each field is a run of bits of one octet, looked up in its value
// table with the field's own fallback. A decoder of this shape is data (its title, its field
// lines, how the block ends) handed to appendFieldBlock.
#include "base/FieldTable.h"

#include <span>
#include <string_view>
#include <vector>

namespace truno {

// Octet index meaning "the last octet of the whole contents read as one number" (characters
// 25-32 of its decToBin form, so the contents are held to the decToBin limit). Any other index
// n reads octet n on its own.
inline constexpr int kLastOctet = 0;

// How a line's label is dressed: at level 1 (dressLabel), 2 (dressLabelL2) or 3 (dressLabelL3).
enum class LineLevel { L1, L2, L3 };

// What a field's value is for the views beside the report: a number (the bits' value, a
// counter, a code), the digits of an address, text as printed, or octets as hex digits.
enum class FieldType : std::uint8_t { Number, Digits, Text, Hex };

// One field and its report line: its key, its label, the octet and bits the field occupies, and
// how its value reads. The key names the field for every view (filters, JSON, calls): lower
// case, unique within its parameter, whose key goes in front of it ("cause_value" of the cause
// indicators is "cause_indicators.cause_value"); the label is only how the report prints it.
// Rows are written with designated initialisers, for instance
//   {.key = "satellite", .label = "Satellite Indicator", .octet = 1, .bits = {2, 1}, .table = kSatellite}.
// A field whose line a decoder writes itself (digits, text, a number worked out from several
// octets) is a row too, with its key, label and type; its octet and bits are then not used.
struct BitField {
    std::string_view key;
    DottedLabel label;
    FieldType type = FieldType::Number;
    LineLevel level = LineLevel::L2;
    int octet = 1;  // 1-based octet index, or kLastOctet
    Bits bits = {8, 1};
    std::span<const Phrase> table = {};        // rows keyed by bit pattern
    std::span<const ValuePhrase> values = {};  // or rows keyed by the field's value
    Fallback fallback = kFallbackBits;         // what a value without a row prints
};

// The name the protocol gives the field's value (a value row's name: "Normal call clearing" for
// cause value 16); empty where its table gives none.
std::string_view valueName(const BitField& field, std::uint64_t value);

// The field's label dressed at its level and marked as the field's line; its value follows.
void dressField(Text& out, const BitField& field);

// A whole line: the dressed label, the value as given (digits, hex: no meaning), CR LF.
void fieldLine(Text& out, const BitField& field, std::string_view value);
// The whole contents read as one number, exact for any length, on the field's line (with its line
// end); the field's number when it fits in 64 bits. Throws DecodeError for empty contents or a
// digit that is not hex.
void appendNumberLine(Text& out, const BitField& field, std::string_view contents);
// A line with a row's phrase as the value, its meaning marked.
void fieldLine(Text& out, const BitField& field, const ValuePhrase& row);

// The field's line without its line end: the dressed label, then the phrase of the first row
// that matches the field cut from `octet` (the value rows when there are any), or the fallback.
// The field's number is the bits' value.
void appendFieldLine(Text& out, const BitField& field, std::uint8_t octet);

// The same for a field value cut by the caller (from several octets, or a whole-contents word).
void appendFieldLine(Text& out, const BitField& field, Field value);

// Raw contents shown as received under a title line: the title, CR LF, the hex digits, no line
// end after them; the contents are marked as the field `field` (of the Hex type).
void appendTitledContents(Text& out, std::string_view title, const BitField& field, std::string_view contents);

// The rows of every field a parameter's block can show, for the list of fields (--list-fields,
// docs/fields.md) and the filters that name a field by its key. Each decoder that writes fields
// of its own has a lister (`void NameFields(FieldList&)`) beside it; a row may be added twice.
class FieldList {
public:
    void add(const BitField& row) { rows_.push_back(&row); }
    void add(std::span<const BitField> rows) {
        for (const BitField& row : rows) rows_.push_back(&row);
    }
    const std::vector<const BitField*>& rows() const { return rows_; }

private:
    std::vector<const BitField*> rows_;
};
using FieldLister = void (*)(FieldList& list);

// The field of raw contents that have no field of their own (the raw-dump parameters).
inline constexpr BitField kRawContents{.key = "contents", .label = "", .type = FieldType::Hex};

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
