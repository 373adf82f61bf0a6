#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits C B A; unlisted values show as the bare bits.
constexpr Phrase kRedirectPossible[] = {
    {"000", "0, no indication"},
    {"001", "1, redirect possible before ACM"},
    {"010", "2, redirect possible before ANM"},
    {"011", "3, redirect possible anytime during the call"},
};

// Bit H. Only the first octet is decoded, whatever the extension bit announces.
constexpr Phrase kExtension[] = {
    {"0", "0, info continues in next octet"},
    {"1", "1, last octet"},
};

constexpr FieldLine kLines[] = {
    {"Redirect possible indicator", Level::L2, kLastOctet, 6, 3, kRedirectPossible, kFallbackBits},
    {"Extension Indicator", Level::L2, kLastOctet, 1, 1, kExtension, kFallbackBits},
};

constexpr OctetBlock kBlock{"REDIRECT CAPABILITY:", kLines, Ending::None};

}  // namespace

void RedirectCapabilityNationalUs(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
