#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCollectCall[] = {
    {"0", "0, no indication"},
    {"1", "1, collect call requested"},
};

constexpr FieldLine kLines[] = {
    {"COLLECT CALL REQUEST INDIC", Level::L1, kLastOctet, 8, 1, kCollectCall, kFallbackBits},
};

constexpr OctetBlock kBlock{"", kLines, Ending::None};

}  // namespace

void CollectCallReques(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
