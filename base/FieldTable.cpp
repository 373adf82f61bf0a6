#include "base/FieldTable.h"

#include "base/Conversions.h"
#include "base/DecodeError.h"

#include <charconv>
#include <cstring>

namespace truno {

void appendBits(Text& out, Field f) {
    for (int i = f.width - 1; i >= 0; --i) out += ((f.value >> i) & 1u) ? '1' : '0';
}

void appendFallback(Text& out, Field f, const Fallback& fallback) {
    const std::size_t start = out.size();
    switch (fallback.kind) {
        case Fallback::Kind::Bits: appendBits(out, f); break;
        case Fallback::Kind::Decimal: appendDecimal(out, f.value); break;
        case Fallback::Kind::Empty: break;
    }
    const bool inRange = f.value >= fallback.rangeLow && f.value <= fallback.rangeHigh;
    const std::string_view suffix = inRange ? fallback.rangeSuffix : fallback.suffix;
    if (out.marks() != nullptr) out.noteMeaning(start, meaningAfterNumber(out.size() - start, suffix));
    out += suffix;
}

std::size_t octetCount(std::string_view contents) { return (contents.size() + 1) / 2; }

namespace {

// Hex digits of octet n (1-based), empty when past the end.
std::string_view octetDigits(std::string_view contents, std::size_t n) {
    const std::size_t start = 2 * (n - 1);
    if (n == 0 || start >= contents.size()) return {};
    return contents.substr(start, 2);
}

}  // namespace

std::uint8_t contentOctetAnyDigits(std::string_view contents, std::size_t n) {
    const std::string_view digits = octetDigits(contents, n);
    if (digits.empty())
        throw DecodeError(DecodeFailure::OctetsMissing, "parameter contents have " + std::to_string(octetCount(contents)) +
                          " octet(s); octet " + std::to_string(n) + " is missing");
    return static_cast<std::uint8_t>(hexToDec(digits));
}

std::uint32_t wholeContentsWord(std::string_view contents) {
    if (contents.empty())
        throw DecodeError(DecodeFailure::OctetsMissing, "parameter contents are empty; at least one octet is needed");
    return checkedBitWord(hexToDec(contents));
}

std::uint8_t lastContentsOctet(std::string_view contents) {
    return static_cast<std::uint8_t>(wholeContentsWord(contents) & 0xFFu);
}

std::string_view significantHexDigits(std::string_view digits) {
    const std::size_t significant = digits.find_first_not_of('0');
    if (significant != std::string_view::npos) return digits.substr(significant);
    return digits.substr(digits.empty() ? 0 : digits.size() - 1);
}

HexNumber readHexNumber(std::string_view digits) {
    constexpr std::size_t kMaxWordDigits = 16;  // hex digits in 64 bits
    if (digits.size() <= kMaxWordDigits) return HexNumber{hexToDec(digits), {}};  // none: throws
    const std::string_view significant = significantHexDigits(digits);
    if (significant.size() <= kMaxWordDigits) return HexNumber{hexToDec(significant), {}};
    return HexNumber{std::nullopt, hexToDecimalText(digits)};
}

void appendDecimal(Text& out, const HexNumber& number) {
    if (number.value)
        appendDecimal(out, *number.value);
    else
        out += number.decimal;
}

void appendPhrase(Text& out, std::span<const ValuePhrase> table, const HexNumber& number,
                  const Fallback& fallback) {
    if (number.value) {
        out.setFieldNumber(*number.value);
        appendPhrase(out, table, Field{*number.value, 64}, fallback);
    } else {
        const std::size_t start = out.size();
        out += number.decimal;
        out.noteMeaning(start, meaningAfterNumber(number.decimal.size(), fallback.suffix));
        out += fallback.suffix;
    }
}

void appendDecimal(Text& out, std::uint64_t value) {
    // Room before the digits (at most 20), so that the append may copy them in a few fixed moves.
    char buf[64];
    const char* digits = decimalBefore(value, buf + sizeof buf);
    out.append(digits, static_cast<std::size_t>(buf + sizeof buf - digits));
}

}  // namespace truno
