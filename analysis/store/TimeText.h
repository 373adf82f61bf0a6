#pragma once
// A message's time as read ("04:00:00.21") is most often its instant's time of day written with
// two or three decimals: the store then keeps which, not the text (inside analysis/store only).
#include "base/Times.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace truno {

// The time of day of `instant` (milliseconds on the log's time line), "HH:MM:SS." and `decimals`
// digits of the second (2: hundredths, the milliseconds' last digit dropped; 3: milliseconds).
inline void appendTimeOfInstant(std::string& out, std::int64_t instant, unsigned decimals) {
    const std::int64_t ofDay = instant % kMillisecondsPerDay;
    char text[12];
    const auto two = [&text](std::size_t at, std::int64_t value) {
        text[at] = static_cast<char>('0' + value / 10);
        text[at + 1] = static_cast<char>('0' + value % 10);
    };
    two(0, ofDay / 3600000);
    text[2] = ':';
    two(3, ofDay / 60000 % 60);
    text[5] = ':';
    two(6, ofDay / 1000 % 60);
    text[8] = '.';
    const std::int64_t thousandths = ofDay % 1000;
    if (decimals == 3) {
        text[9] = static_cast<char>('0' + thousandths / 100);
        two(10, thousandths % 100);
    } else {
        two(9, thousandths / 10);
    }
    out.append(text, decimals == 3 ? 12 : 11);
}

// How the store keeps a time text: the length varint is 0 for none, 1 or 2 for the instant's
// time of day with 2 or 3 decimals (no text kept), else the length of the text kept + 2.
inline std::uint64_t timeTextCode(std::string_view text, std::int64_t instant, bool hasInstant) {
    if (text.empty()) return 0;
    if (hasInstant && instant >= 0 && (text.size() == 11 || text.size() == 12)) {
        const unsigned decimals = text.size() == 11 ? 2 : 3;
        std::string written;  // short enough to need no allocation
        appendTimeOfInstant(written, instant, decimals);
        if (written == text) return decimals - 1;
    }
    return text.size() + 2;
}

// The length of the text kept for a code.
inline std::uint64_t timeTextKept(std::uint64_t code) { return code > 2 ? code - 2 : 0; }

// The time text of a code, `kept` the text kept (empty unless the code says one is).
inline std::string_view timeTextOf(std::uint64_t code, std::string_view kept, std::int64_t instant, std::string& buffer) {
    if (code != 1 && code != 2) return kept;
    buffer.clear();
    appendTimeOfInstant(buffer, instant, static_cast<unsigned>(code) + 1);
    return buffer;
}

}  // namespace truno
