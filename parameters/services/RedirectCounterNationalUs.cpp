#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits E D C B A as a number (0 to 31), on one level-1 line without a title; bits H G F are
// not shown.
constexpr FieldLine kLines[] = {
    {"REDIRECT COUNTER", Level::L1, kLastOctet, 4, 5, {}, kFallbackDecimal},
};

constexpr OctetBlock kBlock{"", kLines, Ending::None};

}  // namespace

void RedirectCounterNationalUs(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
