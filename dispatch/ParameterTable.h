#pragma once
// The parameter code table (ITU-T Q.763 Table 5 and the national codes beside it): for each code
// the parameter's name and how its contents are shown: as a block of field lines, by a decoder,
// or raw under a title.
#include "base/ParameterDecoder.h"
#include "base/TextMemo.h"
#include "dispatch/DecodingState.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace truno {

struct ParameterRow {
    std::uint8_t code;
    std::string_view key;                  // its fields' keys start with it: "cause_indicators"
    std::string_view name;                 // the parameter's name, as Q.763 gives it
    const FieldBlock* block = nullptr;     // the contents are this block of field lines; or
    ParameterDecoder decoder = nullptr;    // a decoder renders the contents field by field, and
    FieldLister fields = nullptr;          // lists the fields it can show; or
    const BitField* number = nullptr;      // the contents are one number on this field's line; or
    std::string_view rawTitle = {};        // the contents are shown raw under this title.
    // A row with none of these is a reserved code, except code 00, the end of optional
    // parameters.
};

// Every row, in code order.
std::span<const ParameterRow> parameterRows();

// The fields a row's block can show (the raw contents of a raw row, the text of a reserved
// one).
void listParameterFields(const ParameterRow& row, FieldList& list);

// The key and name of the block of a code that has no row.
inline constexpr std::string_view kUnknownParameterKey = "unknown_parameter";

// The row of a code, or nullptr when the table has none.
const ParameterRow* findParameter(std::uint8_t code);

// The row of a code written as two upper-case hex digits, or nullptr for any other text or a
// code without a row.
const ParameterRow* findParameter(std::string_view code);

// Appends the parameter's block for its contents, without a line break in front (a mandatory
// parameter). Throws DecodeError when the contents cannot be decoded.
void appendParameterBlock(const ParameterRow& row, std::string_view contents, Text& out);

// A block kept whole as first written (its text and marks): the blocks of short contents are,
// and the mark each begins with carries its number (Mark::number, hasNumber). Nothing for a
// number no block has.
std::optional<TextMemo::Kept> keptParameterBlock(std::uint64_t number);

// The name under which a parameter code without a row is shown.
inline constexpr std::string_view kUnknownParameterName = "Unknown parameter";

// One optional parameter: appends CR LF + the parameter's block to `out`; for code "00" appends
// CR LF alone and sets EndOfOptionalParameters; for a reserved code appends CR LF + "Reserved";
// for a code not in the table appends CR LF, "UNKNOWN PARAMETER (CODE XX)", CR LF and the
// contents as received. Returns whether the code was in the table.
bool decodeParameter(DecodingState& s, std::string_view code, std::string_view contents, Text& out);

// The parameter's name for a code, or empty when the table has no row for it.
std::string_view parameterName(std::string_view code);

}  // namespace truno
