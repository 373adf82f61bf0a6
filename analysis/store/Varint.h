#pragma once
// Numbers in a few bytes, as the message store keeps them (inside analysis/store only).
#include <cstdint>
#include <string>

namespace truno {

// A number in 7-bit groups, the lowest first, each but the last with its top bit set.
inline void appendVarint(std::string& out, std::uint64_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
        return;
    }
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

inline void skipVarint(const char*& at) {
    while (static_cast<unsigned char>(*at++) >= 0x80) {
    }
}

inline std::uint64_t readVarint(const char*& at) {
    std::uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return value;
    }
}

}  // namespace truno
