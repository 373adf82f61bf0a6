#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A; bits H-C are not shown.
constexpr Phrase kPresentationRestricted[] = {
    {"00", "0, presentation allowed"},
    {"01", "1, presentation restricted"},
    {"10", "2, spare"},
    {"11", "3, spare"},
};

constexpr FieldLine kLines[] = {
    {"Presentation restricted indicator", Level::L2, kLastOctet, 7, 2, kPresentationRestricted,
     kFallbackBits},
};

constexpr OctetBlock kBlock{"REDIRECTION NUMBER RESTRICTION:", kLines, Ending::None};

}  // namespace

void RedirectionNumberRestrictio(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
