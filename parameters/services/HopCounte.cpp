#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits E D C B A of the last octet: how many more exchanges the call may pass, 0 to 31.
// Bits H G F are not shown.
constexpr FieldLine kLines[] = {
    {"HOP COUNTER", Level::L1, kLastOctet, 4, 5, {}, kFallbackDecimal},
};

constexpr OctetBlock kBlock{"", kLines, Ending::None};

}  // namespace

void HopCounte(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
