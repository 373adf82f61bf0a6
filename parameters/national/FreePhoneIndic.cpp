#include "core/FieldTable.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

// Bit A of the last octet.
constexpr Phrase kFreephone[] = {
    {"0", "0, no indication"},
    {"1", "1, freephone call"},
};

}  // namespace

void FreePhoneIndic(std::string_view contents, Text& out) {
    const std::uint32_t word = wholeContentsWord(contents);
    DressData(out, "FREE PHONE INDICATOR");
    appendPhrase(out, kFreephone, cut(word, 32, 1), kFallbackBits);
    out += CRLF;
}

}  // namespace truno
