#pragma once
// Octets written as text, as the trace log and the report write them: two upper-case hex digits
// each. The one home of the hex digit table and of reading and writing one octet; the number
// conversions of longer digit strings are in base/Conversions.h.
#include <array>
#include <cstdint>
#include <string_view>

namespace truno {

// Value of each byte as an upper-case hex digit, kNotHexDigit for any other byte.
inline constexpr unsigned kNotHexDigit = 0xFF;
inline constexpr std::array<std::uint8_t, 256> kHexDigitValue = [] {
    std::array<std::uint8_t, 256> values{};
    for (auto& v : values) v = kNotHexDigit;
    for (unsigned c = '0'; c <= '9'; ++c) values[c] = static_cast<std::uint8_t>(c - '0');
    for (unsigned c = 'A'; c <= 'F'; ++c) values[c] = static_cast<std::uint8_t>(c - 'A' + 10);
    return values;
}();

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// The value of an upper-case hex digit, or -1.
inline int hexDigitValue(char c) {
    const unsigned value = kHexDigitValue[static_cast<unsigned char>(c)];
    return value == kNotHexDigit ? -1 : static_cast<int>(value);
}

// The value of an octet written as two upper-case hex digits, or -1.
inline int hexOctetValue(std::string_view octet) {
    if (octet.size() != 2) return -1;
    const unsigned high = kHexDigitValue[static_cast<unsigned char>(octet[0])];
    const unsigned low = kHexDigitValue[static_cast<unsigned char>(octet[1])];
    return (high | low) < 16 ? static_cast<int>(high * 16 + low) : -1;
}

// Whether the text is one octet: two upper-case hex digits.
inline bool isHexOctet(std::string_view octet) { return hexOctetValue(octet) >= 0; }

// Appends a byte as two upper-case hex digits.
template <class Out>
void appendHexOctet(Out& out, unsigned byte) {
    out += kUpperHexDigits[(byte >> 4) & 0xFu];
    out += kUpperHexDigits[byte & 0xFu];
}

}  // namespace truno
