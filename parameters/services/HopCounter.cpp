// Hop counter (code 3D), Q.763 3.80.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits E D C B A of the last octet: how many more exchanges the call may pass, 0 to 31.
// Bits H G F are not shown.
constexpr BitField kLines[] = {
    {.key = "hop_counter", .label = "HOP COUNTER", .level = LineLevel::L1, .octet = kLastOctet, .bits = {5, 1},
     .fallback = kFallbackDecimal},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void HopCounter(std::string_view contents, Text& out) { appendFieldBlock(out, contents, kBlock); }

void HopCounterFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
