#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCollectCall[] = {
    {"0", "0, no indication"},
    {"1", "1, collect call requested"},
};

constexpr FieldLine kLines[] = {
    {"COLLECT CALL REQUEST INDIC", LineLevel::L1, kLastOctet, 8, 1, kCollectCall, kFallbackBits},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::None};

}  // namespace

void CollectCallRequest(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
