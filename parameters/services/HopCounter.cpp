#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits E D C B A of the last octet: how many more exchanges the call may pass, 0 to 31.
// Bits H G F are not shown.
constexpr FieldLine kLines[] = {
    {"HOP COUNTER", LineLevel::L1, kLastOctet, 4, 5, {}, kFallbackDecimal},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void HopCounter(std::string_view contents, Text& out) { appendFieldBlock(out, contents, kBlock); }

}  // namespace truno
