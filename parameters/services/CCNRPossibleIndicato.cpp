#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcnrPossible[] = {
    {"0", "0, CCNR not possible."},
    {"1", "1, CCNR possible."},
};

constexpr FieldLine kLines[] = {
    {"CCNR POSSIBLE INDICATOR", Level::L1, kLastOctet, 8, 1, kCcnrPossible, kFallbackBits},
};

constexpr OctetBlock kBlock{"", kLines, Ending::None};

}  // namespace

void CCNRPossibleIndicato(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
