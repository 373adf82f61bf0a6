#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits E D C B A as a number (0 to 31), on one level-1 line without a title; bits H G F are
// not shown.
constexpr FieldLine kLines[] = {
    {"REDIRECT COUNTER", LineLevel::L1, kLastOctet, 4, 5, {}, kFallbackDecimal},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void RedirectCounterNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
