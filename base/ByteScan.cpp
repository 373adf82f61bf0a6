#include "base/ByteScan.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace truno {

namespace {

constexpr unsigned char asciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

#if defined(__SSE2__)
__m128i load16(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

// One bit per byte of the block: the lowest bit is the first byte.
unsigned mask16(__m128i bytes) { return static_cast<unsigned>(_mm_movemask_epi8(bytes)); }
#endif

}  // namespace

// ---------------------------------------------------------------- plain twins

namespace plain {

const char* findLineBreak(const char* p, const char* end) {
    while (p != end && *p != '\r' && *p != '\n') ++p;
    return p;
}

bool printableAscii(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(static_cast<unsigned char>(p[i]) - 0x20) >= 0x5F) return false;
    return true;
}

bool copyJsonPlain(char* to, const char* from, std::size_t n) {
    bool plain = true;
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(from[i]);
        to[i] = from[i];
        if (static_cast<unsigned char>(byte - 0x20) >= 0x5F || byte == '"' || byte == '\\') plain = false;
    }
    return plain;
}

char* copyCrLfAsLf(std::string_view text, char* out) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') *out++ = text[i];
    return out;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view pattern, std::size_t from) {
    const std::size_t m = pattern.size();
    if (m == 0) return std::string_view::npos;
    for (std::size_t at = from; at <= text.size() && text.size() - at >= m; ++at) {
        std::size_t k = 0;
        while (k < m && asciiLower(static_cast<unsigned char>(text[at + k])) == static_cast<unsigned char>(pattern[k]))
            ++k;
        if (k == m) return at;
    }
    return std::string_view::npos;
}

}  // namespace plain

// ---------------------------------------------------------------- sixteen bytes at a time

const char* findLineBreak(const char* p, const char* end) {
#if defined(__SSE2__)
    // A line is read once, whichever of CR and LF ends it.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = load16(p);
        const unsigned found = mask16(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (found != 0) return p + __builtin_ctz(found);
    }
#endif
    return plain::findLineBreak(p, end);
}

#if defined(__SSE2__)
namespace {

// The bytes of a block that are not printable ASCII. As signed bytes, a control character and a
// byte above 7F are both below 20 hex.
__m128i notPrintable(__m128i bytes) {
    return _mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F)));
}

// The bytes of a block that do not go into a JSON string as they are. As signed bytes, a control
// character and a byte above 7F are both below 20 hex.
__m128i notJsonPlain(__m128i bytes) {
    const __m128i control = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
    const __m128i quote = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'));
    const __m128i backslash = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'));
    const __m128i del = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F));
    return _mm_or_si128(_mm_or_si128(control, quote), _mm_or_si128(backslash, del));
}

std::uint64_t load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}
void store8(char* p, std::uint64_t word) { std::memcpy(p, &word, 8); }
std::uint32_t load4(const char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}
void store4(char* p, std::uint32_t word) { std::memcpy(p, &word, 4); }

}  // namespace
#endif

namespace {

// Whether every byte of up to 16 is printable ASCII, read in eight-byte words that may overlap
// (a byte read twice is still one of the text's; bytes not read stay blanks): a byte below 20
// hex, 7F, or one from 80 up has its flag set.
bool shortTextPrintable(const char* p, std::size_t n) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto outside = [](std::uint64_t word) {
        const std::uint64_t below = (word - 0x20 * kOnes) & ~word;
        const std::uint64_t del = ((word ^ (0x7F * kOnes)) - kOnes) & ~(word ^ (0x7F * kOnes));
        return ((below | del) & kHighs) | (word & kHighs);
    };
    std::uint64_t head = 0x2020202020202020ull;
    std::uint64_t tail = head;
    if (n >= 8) {
        std::memcpy(&head, p, 8);
        std::memcpy(&tail, p + n - 8, 8);
    } else if (n >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        head = low | (std::uint64_t{high} << 32);
    } else if (n != 0) {
        head = (head & ~0xFFFFFFull) | static_cast<unsigned char>(p[0]) |
               (std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8) |
               (std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
    }
    return (outside(head) | outside(tail)) == 0;
}

}  // namespace

bool printableAscii(const char* p, std::size_t n) {
    if (n <= 16) return shortTextPrintable(p, n);
#if defined(__SSE2__)
    // Blocks of sixteen, the last one overlapping the one before.
    {
        __m128i found = _mm_setzero_si128();
        for (std::size_t at = 0; n - at > 16; at += 16) found = _mm_or_si128(found, notPrintable(load16(p + at)));
        found = _mm_or_si128(found, notPrintable(load16(p + n - 16)));
        return mask16(found) == 0;
    }
#endif
    return plain::printableAscii(p, n);
}

bool copyJsonPlain(char* to, const char* from, std::size_t n) {
#if defined(__SSE2__)
    // Up to sixteen bytes: two loads that may overlap, checked as one block; a short text is
    // padded with blanks. Longer ones: blocks of sixteen, the last one overlapping the one before.
    if (n <= 16) {
        std::uint64_t low = 0x2020202020202020u;
        std::uint64_t high = 0x2020202020202020u;
        if (n >= 8) {
            low = load8(from);
            high = load8(from + n - 8);
            store8(to, low);
            store8(to + n - 8, high);
        } else if (n >= 4) {
            const std::uint32_t head = load4(from);
            const std::uint32_t tail = load4(from + n - 4);
            store4(to, head);
            store4(to + n - 4, tail);
            low = head | (std::uint64_t{tail} << 32);
        } else if (n != 0) {
            const auto first = static_cast<unsigned char>(from[0]);
            const auto middle = static_cast<unsigned char>(from[n / 2]);
            const auto last = static_cast<unsigned char>(from[n - 1]);
            to[0] = from[0];
            to[n / 2] = from[n / 2];
            to[n - 1] = from[n - 1];
            low = 0x2020202020000000u | first | (std::uint64_t{middle} << 8) | (std::uint64_t{last} << 16);
        }
        const __m128i bytes = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
        return mask16(notJsonPlain(bytes)) == 0;
    }
    __m128i found = _mm_setzero_si128();
    std::size_t at = 0;
    for (; n - at > 16; at += 16) {
        const __m128i bytes = load16(from + at);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at), bytes);
        found = _mm_or_si128(found, notJsonPlain(bytes));
    }
    const __m128i last = load16(from + n - 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n - 16), last);
    found = _mm_or_si128(found, notJsonPlain(last));
    return mask16(found) == 0;
#else
    return plain::copyJsonPlain(to, from, n);
#endif
}

char* copyCrLfAsLf(std::string_view text, char* out) {
#if defined(__SSE2__)
    // Each block is kept in a register before anything is stored, the next one too: a store
    // reaches at most the end of the next block, so that turned in place, the stores overwrite
    // only bytes already read. A block whose CRs an LF follows is copied from a buffer, one
    // piece after each dropped CR, each piece stored as a whole block that the next overwrites.
    const char* p = text.data();
    const char* const end = p + text.size();
    if (end - p >= 32) {
        const __m128i carriageReturn = _mm_set1_epi8('\r');
        const __m128i lineFeed = _mm_set1_epi8('\n');
        __m128i block = load16(p);
        while (end - p >= 32) {
            const __m128i next = load16(p + 16);
            unsigned dropped = mask16(_mm_cmpeq_epi8(block, carriageReturn));
            if (dropped != 0)
                dropped &= mask16(_mm_cmpeq_epi8(block, lineFeed)) >> 1 | (mask16(_mm_cmpeq_epi8(next, lineFeed)) & 1U) << 15;
            if (dropped == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
                out += 16;
            } else {
                alignas(16) char kept[32];
                _mm_store_si128(reinterpret_cast<__m128i*>(kept), block);
                _mm_store_si128(reinterpret_cast<__m128i*>(kept + 16), next);  // read past a piece's end, never kept
                unsigned from = 0;
                for (; dropped != 0; dropped &= dropped - 1) {
                    const auto at = static_cast<unsigned>(__builtin_ctz(dropped));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), load16(kept + from));
                    out += at - from;
                    from = at + 1;
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), load16(kept + from));
                out += 16 - from;
            }
            p += 16;
            block = next;
        }
        // The last 16 to 31 bytes: the first 16 of them from the register (their place may have
        // been overwritten), the rest from the text.
        alignas(16) char rest[32];
        _mm_store_si128(reinterpret_cast<__m128i*>(rest), block);
        const auto n = static_cast<std::size_t>(end - p);
        std::memcpy(rest + 16, p + 16, n - 16);
        return plain::copyCrLfAsLf(std::string_view(rest, n), out);
    }
#endif
    return plain::copyCrLfAsLf(text, out);
}

std::size_t findIgnoringCase(std::string_view text, std::string_view pattern, std::size_t from) {
    const std::size_t m = pattern.size();
    if (m == 0) return std::string_view::npos;
    std::size_t at = from;
#if defined(__SSE2__)
    // Sixteen places at a time: those where the pattern's first and last bytes match (a letter in
    // either case: the text's byte with bit 20 hex set) are the only ones looked at closely.
    // Short patterns and digits, which the report is full of, go as fast as long ones.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const auto* folded = reinterpret_cast<const unsigned char*>(pattern.data());
    const auto folding = [](unsigned char c) { return _mm_set1_epi8(static_cast<char>(c >= 'a' && c <= 'z' ? 0x20 : 0)); };
    const __m128i firstByte = _mm_set1_epi8(static_cast<char>(folded[0]));
    const __m128i lastByte = _mm_set1_epi8(static_cast<char>(folded[m - 1]));
    const __m128i firstFold = folding(folded[0]);
    const __m128i lastFold = folding(folded[m - 1]);
    // The candidates are a superset of the matches, whatever the pattern: each is checked whole.
    const auto matchesAt = [&](std::size_t place) {
        std::size_t k = 0;
        while (k < m && asciiLower(bytes[place + k]) == folded[k]) ++k;
        return k == m;
    };
    while (at <= text.size() && text.size() - at >= m - 1 + 16) {
        const __m128i firsts = _mm_or_si128(load16(bytes + at), firstFold);
        const __m128i lasts = _mm_or_si128(load16(bytes + at + m - 1), lastFold);
        unsigned candidates = mask16(_mm_and_si128(_mm_cmpeq_epi8(firsts, firstByte), _mm_cmpeq_epi8(lasts, lastByte)));
        while (candidates != 0) {
            const std::size_t place = at + static_cast<std::size_t>(__builtin_ctz(candidates));
            if (matchesAt(place)) return place;
            candidates &= candidates - 1;
        }
        at += 16;
    }
#endif
    return plain::findIgnoringCase(text, pattern, at);
}

}  // namespace truno
