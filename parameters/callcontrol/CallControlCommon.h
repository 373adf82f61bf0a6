#pragma once
// Shapes shared by the one-octet indicator parameters of this family: a block of dressed field
// lines cut from one octet, and the one-line indicators that print a single dressed field.
#include "core/FieldTable.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace truno::callcontrol {

// One field of an indicator octet: its label, where it lies in the octet's 8-character string
// (character 1 = bit H, character 8 = bit A) and its value table.
struct IndicatorField {
    std::string_view label;
    int first;
    int length;
    std::span<const Phrase> table;
};

// Whether the last field line of a block carries its own CR LF or leaves the break to the caller.
enum class LastLine { EndsWithCrLf, Open };

// Two-line phrases run on in the value column of the next line: CR LF, then as many blanks as
// the dressed label is wide plus one for its "=".
#define TRUNO_VALUE_COLUMN_BREAK "\r\n                                             "
static_assert(std::string_view(TRUNO_VALUE_COLUMN_BREAK).substr(2) == kValueColumnIndent);

// Simple segmentation indicator (bit C), shared by the optional forward and backward call
// indicators.
inline constexpr Phrase kSimpleSegmentation[] = {
    {"0", "0, no additional information will be sent"},
    {"1", "1, additional information will be sent" TRUNO_VALUE_COLUMN_BREAK
          "in a segmentation message"},
};

// The last octet of contents read as one number (bits H..A of the final octet).
inline std::uint8_t lastOctetOfContents(std::string_view contents) {
    return static_cast<std::uint8_t>(wholeContentsWord(contents) & 0xFFu);
}

// One DressItL2 line per field, in order. Every table of this family covers all patterns of its
// field, so the fallback (the bits as they are) only guards against a table that does not.
inline void appendFieldLines(Text& out, std::uint8_t octet, std::span<const IndicatorField> fields,
                             LastLine last) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const IndicatorField& f = fields[i];
        DressItL2(out, f.label);
        appendPhrase(out, f.table, cutOctet(octet, f.first, f.length), kFallbackBits);
        if (i + 1 < fields.size() || last == LastLine::EndsWithCrLf) out += CRLF;
    }
}

// Undressed heading line followed by the field lines.
inline void appendIndicatorBlock(Text& out, std::string_view heading, std::uint8_t octet,
                                 std::span<const IndicatorField> fields, LastLine last) {
    lineOf(out, heading);
    appendFieldLines(out, octet, fields, last);
}

// A single field shown on one DressData line, with no heading.
inline void appendOneLineIndicator(Text& out, std::uint8_t octet, const IndicatorField& field,
                                   LastLine last) {
    DressData(out, field.label);
    appendPhrase(out, field.table, cutOctet(octet, field.first, field.length), kFallbackBits);
    if (last == LastLine::EndsWithCrLf) out += CRLF;
}

}  // namespace truno::callcontrol
