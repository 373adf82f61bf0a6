#pragma once
// The field-table mechanism shared by the bit-field decoders: a field is cut from an octet
// (or from the whole contents read as one number), compared with the rows of its value table
// in order, and the first equal row gives the phrase; a field without a row falls back in the
// way stated for that field.
#include "base/OctetText.h"
#include "base/ReportLayout.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace truno {

// Where the meaning of a row's phrase begins: after its leading number (decimal digits, bits or
// hex digits) and ", "; 0 when it has none ("16, Normal call clearing." gives 4). Worked out once,
// when a table is built, so that a view takes the meaning from the row that was written.
constexpr std::uint16_t meaningStartOf(std::string_view phrase) {
    std::size_t digits = 0;
    while (digits < phrase.size() &&
           ((phrase[digits] >= '0' && phrase[digits] <= '9') || (phrase[digits] >= 'A' && phrase[digits] <= 'F')))
        ++digits;
    if (digits == 0 || phrase.substr(digits, 2) != ", ") return 0;
    return static_cast<std::uint16_t>(digits + 2);
}

// One row of a value table keyed by bit pattern, most significant bit first ("10"): the phrase
// the report prints, and the value's name where the protocol gives one. The pattern is read
// once, when the table is built, into the value and width it matches.
struct Phrase {
    constexpr Phrase(std::string_view pattern, std::string_view phrase, std::string_view valueName = {})
        : text(phrase), name(valueName), meaning(meaningStartOf(phrase)) {
        for (const char c : pattern) {
            if (c != '0' && c != '1') {
                width = -1;  // matches no field
                return;
            }
            value = value * 2 + static_cast<std::uint64_t>(c - '0');
        }
        width = static_cast<int>(pattern.size());
    }
    std::string_view text;
    std::string_view name;
    std::uint64_t value = 0;
    int width = 0;
    std::uint16_t meaning = 0;  // where the phrase's meaning begins (meaningStartOf)
};

// One row of a value table keyed by number: the phrase the report prints (empty: the report has
// none for the value, which prints as the field's fallback), and the value's name where the
// protocol gives one ("Normal call clearing", Q.850's name of cause 16).
struct ValuePhrase {
    constexpr ValuePhrase(std::uint64_t rowValue, std::string_view phrase, std::string_view valueName = {})
        : value(rowValue), text(phrase), name(valueName), meaning(meaningStartOf(phrase)) {}
    std::uint64_t value;
    std::string_view text;
    std::string_view name;
    std::uint16_t meaning;  // where the phrase's meaning begins (meaningStartOf)
    // The phrase after its number: "Normal call clearing.".
    constexpr std::string_view meaningText() const { return meaning == 0 ? std::string_view{} : text.substr(meaning); }
};

// A field cut out of an octet: its value and how many bits it spans, so that it can be compared
// with a pattern or shown as bits.
struct Field {
    std::uint64_t value;
    int width;
};

// What a field prints when no row matches: its bits, its decimal value, or nothing, followed by
// a suffix (", spare", ", spare.", ", reserved." ...). Values in rangeLow..rangeHigh take
// rangeSuffix instead (a block set aside, such as the national values of a nature of address).
struct Fallback {
    enum class Kind { Bits, Decimal, Empty };
    Kind kind;
    std::string_view suffix;
    std::uint64_t rangeLow = 1;
    std::uint64_t rangeHigh = 0;
    std::string_view rangeSuffix = {};
};

inline constexpr Fallback kFallbackBits{Fallback::Kind::Bits, ""};
inline constexpr Fallback kFallbackBitsSpare{Fallback::Kind::Bits, ", spare"};
inline constexpr Fallback kFallbackDecimal{Fallback::Kind::Decimal, ""};
inline constexpr Fallback kFallbackDecimalSpare{Fallback::Kind::Decimal, ", spare."};
inline constexpr Fallback kFallbackDecimalReserved{Fallback::Kind::Decimal, ", reserved."};
inline constexpr Fallback kFallbackEmpty{Fallback::Kind::Empty, ""};

// Bits `high` down to `low` of an octet, numbered as Q.763 numbers them: bit 8 is the most
// significant (H), bit 1 the least (A). {2, 1} are bits B A; {8, 8} is bit H alone.
struct Bits {
    int high;
    int low;
};

constexpr Field bitsOf(std::uint8_t octet, Bits bits) {
    const int width = bits.high - bits.low + 1;
    return Field{(static_cast<std::uint64_t>(octet) >> (bits.low - 1)) & ((1ull << width) - 1), width};
}

// The field's bits as text, most significant first ("0110").
void appendBits(Text& out, Field f);

// The first row that matches the field (the pattern's width and value) or the value, or nullptr.
inline const Phrase* findPhrase(std::span<const Phrase> table, Field f) {
    for (const Phrase& row : table)
        if (row.width == f.width && row.value == f.value) return &row;
    return nullptr;
}
// Rows without a phrase (a value the protocol names that the report has no phrase for) are
// passed over.
inline const ValuePhrase* findPhrase(std::span<const ValuePhrase> table, std::uint64_t value) {
    for (const ValuePhrase& row : table)
        if (row.value == value) return row.text.empty() ? nullptr : &row;
    return nullptr;
}

// Where the meaning begins in a value written as a number of `numberLength` characters followed
// by `rest`: after the number and ", " when `rest` begins so; 0 otherwise (no number, or no
// meaning after it).
constexpr std::uint16_t meaningAfterNumber(std::size_t numberLength, std::string_view rest) {
    return numberLength != 0 && rest.starts_with(", ") ? static_cast<std::uint16_t>(numberLength + 2) : 0;
}

// What a field without a row prints: its fallback.
void appendFallback(Text& out, Field f, const Fallback& fallback);

// Appends a row's phrase as a field's value, keeping where its meaning begins when the text is
// marked.
template <class Row>
void appendRowText(Text& out, const Row& row) {
    const std::size_t start = out.size();
    out += row.text;
    out.noteMeaning(start, row.meaning);
}

// The shared lookups: append the phrase of the first matching row, or the fallback.
inline void appendPhrase(Text& out, std::span<const Phrase> table, Field f, const Fallback& fallback) {
    if (const Phrase* row = findPhrase(table, f))
        appendRowText(out, *row);
    else
        appendFallback(out, f, fallback);
}
inline void appendPhrase(Text& out, std::span<const ValuePhrase> table, Field f, const Fallback& fallback) {
    if (const ValuePhrase* row = findPhrase(table, f.value))
        appendRowText(out, *row);
    else
        appendFallback(out, f, fallback);
}


// --- Reading parameter contents (hex digits, two per octet, octet 1 first) ---

// Number of octets the contents hold (a trailing lone digit counts as an octet).
std::size_t octetCount(std::string_view contents);

// The general case of contentOctet: a lone last digit, a missing octet, digits that are not hex.
std::uint8_t contentOctetAnyDigits(std::string_view contents, std::size_t n);

// Octet n (1-based) converted by hexToDec. A missing octet throws DecodeError naming it.
inline std::uint8_t contentOctet(std::string_view contents, std::size_t n) {
    if (n != 0 && 2 * n <= contents.size())
        if (const int value = hexOctetValue(contents.substr(2 * n - 2, 2)); value >= 0) return static_cast<std::uint8_t>(value);
    return contentOctetAnyDigits(contents, n);
}

// The whole contents as one number, as decToBin would take it: fields then come from the
// last octet (characters 25-32), the one before it (17-24), and so on. Throws DecodeError for
// empty contents, a non-hex digit, or a value above 2^31 - 1.
std::uint32_t wholeContentsWord(std::string_view contents);

// The last octet of the whole contents read as one number (characters 25-32 of the decToBin
// form), with the same limits as wholeContentsWord.
std::uint8_t lastContentsOctet(std::string_view contents);

// --- Hex digits of any length read as one number ---

// A number written as hex digits of any length: its value when the digits after the leading
// zeros fit in 64 bits, otherwise its exact decimal text.
struct HexNumber {
    std::optional<std::uint64_t> value;  // empty when the number needs more than 64 bits
    std::string decimal;                 // the decimal text when `value` is empty
};

// Reads the digits as one number. Up to 16 digits are converted as they stand; longer digits
// drop their leading zeros first, and when more than 16 remain the decimal text is worked out
// from all the digits. Throws DecodeError for no digits or a non-hex digit, naming the digits
// that were being converted.
HexNumber readHexNumber(std::string_view digits);

// The digits without their leading zeros, keeping the last digit when all of them are zero
// (empty digits stay empty).
std::string_view significantHexDigits(std::string_view digits);

// The number in decimal, exact for any length.
void appendDecimal(Text& out, const HexNumber& number);

// The phrase of the row with the number's value, or the fallback. A number beyond 64 bits has
// no row; it prints in decimal followed by the fallback's suffix.
void appendPhrase(Text& out, std::span<const ValuePhrase> table, const HexNumber& number,
                  const Fallback& fallback);

// Decimal text of a number.
void appendDecimal(Text& out, std::uint64_t value);

}  // namespace truno
