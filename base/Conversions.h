#pragma once
// Number conversions every decoder uses: hex digits to a number, exact decimal text of long hex
// numbers, and the limit on a whole-contents word.
#include "base/OctetText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace truno {

// The general case of hexToDec, and its failures.
std::uint64_t hexToDecAnyLength(std::string_view hex);

// Value of a string of hex digits "0"-"9", "A"-"F" (upper case only), most significant first.
// Throws DecodeError for an empty string, any other character, or a value above 2^64 - 1.
inline std::uint64_t hexToDec(std::string_view hex) {
    if (const int octet = hexOctetValue(hex); octet >= 0) return static_cast<std::uint64_t>(octet);
    return hexToDecAnyLength(hex);
}

// Writes the value in decimal so that its digits end just before `end`, two digits at a time;
// returns where they begin (at most 20 characters before `end`).
char* decimalBefore(std::uint64_t value, char* end);

// The number of decimal digits of a value (1 for 0).
inline unsigned decimalDigitCount(std::uint64_t value) {
    unsigned count = 1;
    for (;;) {
        if (value < 10) return count;
        if (value < 100) return count + 1;
        if (value < 1000) return count + 2;
        if (value < 10000) return count + 3;
        value /= 10000;
        count += 4;
    }
}

// Largest value a whole-contents word may have: its arithmetic is on 32-bit signed integers.
inline constexpr std::uint64_t kDecToBinMax = 0x7FFFFFFFu;

// The whole contents of a field read as one number are held to this limit (a 32-bit signed
// word): fields are cut from it with integer operations. Throws DecodeError above it.
std::uint32_t checkedBitWord(std::uint64_t value);

// Exact decimal text of a hex digit string of any length (no wrap-around).
// Throws DecodeError for an empty string or a non-hex character, like hexToDec.
std::string hexToDecimalText(std::string_view hex);

// The same text, kept without allocating for up to 16 digits (every value of up to 64 bits).
class HexDecimal {
public:
    explicit HexDecimal(std::string_view hex);
    std::string_view text() const { return longer_.empty() ? std::string_view(short_, size_) : longer_; }

private:
    char short_[24] = {};
    std::size_t size_ = 0;
    std::string longer_;
};

}  // namespace truno
