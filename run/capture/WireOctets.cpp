#include "run/capture/WireOctets.h"

#include <charconv>
#include <cstdio>

namespace truno::capture {

std::string addressText(Octets address) {
    char text[48];
    if (address.size() == 4) {
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
        return text;
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < address.size(); i += 2) {
        std::snprintf(text, sizeof text, "%s%x", i == 0 ? "" : ":", static_cast<unsigned>(be16(address, i)));
        out += text;
    }
    return out;
}

// Out of line: a number is written only into a kept sentence, never on the hot path.
void Problems::appendSigned(std::string& text, std::int64_t n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

void Problems::appendUnsigned(std::string& text, std::uint64_t n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

}  // namespace truno::capture
