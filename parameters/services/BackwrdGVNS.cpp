#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A of the last octet; bits H to C are not shown.
constexpr Phrase kTerminatingAccess[] = {
    {"00", "0, no information."},
    {"01", "1, dedicated terminating access."},
    {"10", "2, switched terminating access."},
    {"11", "3, spare."},
};

constexpr FieldLine kLines[] = {
    {"TERMINATING ACCESS INDICATOR", Level::L1, kLastOctet, 7, 2, kTerminatingAccess,
     kFallbackBits},
};

constexpr OctetBlock kBlock{"", kLines, Ending::LineEnd};

}  // namespace

void BackwrdGVNS(std::string_view contents, Text& out) { appendOctetBlock(out, contents, kBlock); }

}  // namespace truno
