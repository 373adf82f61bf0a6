// Redirect counter, national use (code 77), Q.763 3.79.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits E D C B A as a number (0 to 31), on one level-1 line without a title; bits H G F are
// not shown.
constexpr BitField kLines[] = {
    {.key = "redirect_counter", .label = "REDIRECT COUNTER", .level = LineLevel::L1, .octet = kLastOctet, .bits = {5, 1},
     .fallback = kFallbackDecimal},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void RedirectCounterNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void RedirectCounterNationalUseFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
