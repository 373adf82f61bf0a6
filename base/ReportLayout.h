#pragma once
// Line layout of the report: label, dots up to the value column, "=", value, CR LF.
#include "base/ReportText.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace truno {

inline constexpr std::string_view CRLF = "\r\n";

// Width of the label column (the "=" stands in column LabelWidth + 1) and the indent of level 2.
inline constexpr std::size_t kLabelWidth = 44;
inline constexpr std::size_t kLabelIndent = 5;

// A label laid out once, when its table is built: the label followed by dots up to the value
// column, so that dressing it at level 1 or 2 copies a prefix of known length. A label too long
// for the value column is dressed as it stands.
class DottedLabel {
public:
    constexpr DottedLabel(std::string_view text) : text_(text) {  // NOLINT(google-explicit-constructor)
        for (std::size_t i = 0; i < kLabelWidth; ++i) dotted_[i] = i < text.size() ? text[i] : '.';
    }
    constexpr DottedLabel(const char* text) : DottedLabel(std::string_view(text)) {}  // NOLINT(google-explicit-constructor)
    constexpr DottedLabel() : DottedLabel(std::string_view{}) {}
    constexpr std::string_view text() const { return text_; }
    // The label and its dots, kLabelWidth characters.
    constexpr const char* dotted() const { return dotted_; }

private:
    std::string_view text_;
    char dotted_[kLabelWidth] = {};
};

// out += the label dressed at level 1 (indent 0), 2 (indent kLabelIndent) or 3 (kLabelIndent + 4),
// ending in "=". It marks nothing: dressField (base/FieldBlock.h) marks the field whose label it is.
void dressLabel(Text& out, const DottedLabel& label, std::size_t indent);

// Returning forms of the same (for tests and messages).
std::string dressLabel(std::string_view label);
std::string dressLabelL2(std::string_view label);
std::string dressLabelL3(std::string_view label);

// A heading line: `indent` blanks, the text, CR LF; marked as a heading.
void lineOf(Text& out, std::string_view text, std::size_t indent = 0);

// The blanks that put a continuation line's text under the value column.
inline constexpr std::string_view kValueColumnIndent = "                                             ";  // 45

// Appends text taken from the log (times, directions, names) so that no control character
// reaches the report: bytes below 20 hex, 7F and 80 to 9F become a visible \xNN escape, a
// backslash stays as it is. Bytes A0 to FF are Latin-1 characters and are written as UTF-8, the
// report's encoding.
void appendLogText(Text& out, std::string_view raw);

// Whether every byte is printable ASCII (20 to 7E hex): such text needs no escape. A long text
// is scanned without an early exit, so that the scan runs on whole vectors.
inline bool allPrintable(std::string_view s) {
    const auto outside = [](char c) { return static_cast<unsigned char>(c - 0x20) >= 0x5F; };
    if (s.size() <= 16) {
        for (const char c : s)
            if (outside(c)) return false;
        return true;
    }
    unsigned char found = 0;  // byte-wide, so that the vectorised loop need not widen its lanes
    for (const char c : s) found = static_cast<unsigned char>(found | (outside(c) ? 1 : 0));
    return found == 0;
}
void appendLogText(std::string& out, std::string_view raw);

}  // namespace truno
