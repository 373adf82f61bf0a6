#include "base/Conversions.h"

#include "base/DecodeError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

namespace truno {
namespace {

std::string quoted(std::string_view s) {
    std::string q = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c >= 0x7F) {
            q += "\\x";
            appendHexOctet(q, c);
        } else {
            q += static_cast<char>(c);
        }
    }
    q += '"';
    return q;
}

[[noreturn]] void badHex(std::string_view hex, std::size_t at) {
    std::string why = "cannot convert hex digits " + quoted(hex) + ": ";
    const unsigned char c = static_cast<unsigned char>(hex[at]);
    const bool lowerCase = c >= 'a' && c <= 'f';
    if (lowerCase)
        why += "lower-case digit '" + std::string(1, static_cast<char>(c)) + "'";
    else
        why += "character " + quoted(hex.substr(at, 1)) + " is not a hex digit";
    why += " at position " + std::to_string(at + 1) + " (expected 0-9, A-F)";
    throw DecodeError(lowerCase ? DecodeFailure::LowerCase : DecodeFailure::NotHexDigits, why);
}

}  // namespace

std::uint64_t hexToDecAnyLength(std::string_view hex) {
    if (hex.empty())
        throw DecodeError(DecodeFailure::OctetsMissing, "cannot convert hex digits: none present (missing octet)");
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < hex.size(); ++i) {
        const int d = hexDigitValue(hex[i]);
        if (d < 0) badHex(hex, i);
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4))
            throw DecodeError(DecodeFailure::ValueTooLarge, "value too large to convert: " + std::to_string(hex.size()) +
                              " hex digits " + quoted(hex) + " exceed 64 bits");
        value = (value << 4) | static_cast<std::uint64_t>(d);
    }
    return value;
}

std::uint32_t checkedBitWord(std::uint64_t value) {
    if (value > kDecToBinMax)
        throw DecodeError(DecodeFailure::ValueTooLarge, "value " + std::to_string(value) +
                          " too large for a 32-character bit string (limit 2147483647)");
    return static_cast<std::uint32_t>(value);
}

std::string hexToDecimalText(std::string_view hex) {
    if (hex.empty())
        throw DecodeError(DecodeFailure::OctetsMissing, "cannot convert hex digits: none present (missing octet)");
    // Base 10^9 limbs, least significant first: multiply by 16 and add each digit.
    std::vector<std::uint32_t> limbs{0};
    for (std::size_t i = 0; i < hex.size(); ++i) {
        const int d = hexDigitValue(hex[i]);
        if (d < 0) badHex(hex, i);
        std::uint64_t carry = static_cast<std::uint64_t>(d);
        for (auto& limb : limbs) {
            const std::uint64_t v = static_cast<std::uint64_t>(limb) * 16 + carry;
            limb = static_cast<std::uint32_t>(v % 1000000000u);
            carry = v / 1000000000u;
        }
        if (carry != 0) limbs.push_back(static_cast<std::uint32_t>(carry));
    }
    std::string text = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(limbs[i]);
        text.append(9 - part.size(), '0');
        text += part;
    }
    return text;
}

HexDecimal::HexDecimal(std::string_view hex) {
    if (hex.size() > 16) {
        longer_ = hexToDecimalText(hex);
        return;
    }
    const auto result = std::to_chars(short_, short_ + sizeof short_, hexToDec(hex));
    size_ = static_cast<std::size_t>(result.ptr - short_);
}

namespace {

// "00" to "99", so that a decimal is written two digits at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

}  // namespace

char* decimalBefore(std::uint64_t value, char* end) {
    char* p = end;
    while (value >= 100) {
        p -= 2;
        std::memcpy(p, &kDigitPairs[2 * (value % 100)], 2);
        value /= 100;
    }
    if (value >= 10) {
        p -= 2;
        std::memcpy(p, &kDigitPairs[2 * value], 2);
    } else {
        *--p = static_cast<char>('0' + value);
    }
    return p;
}

}  // namespace truno
